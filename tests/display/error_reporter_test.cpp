// The error reporter: which codes open the popup, what the popup says, and the text table.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "display/error_reporter.h"
#include "display/error_texts.h"
#include "platform/headless/headless.h"
#include "platform/video.h"

namespace {

constexpr int32_t code(uint32_t value) { return static_cast<int32_t>(value); }

constexpr int32_t dderr_invalidmode = code(0x88760078u);
constexpr int32_t e_nointerface = code(0x80004002u);

// The 117 failures with a text, in the table's order.
// clang-format off
const char* const failure_names[117] = {
    "DDERR_ALREADYINITIALIZED", "DDERR_CANNOTATTACHSURFACE", "DDERR_CANNOTDETACHSURFACE",
    "DDERR_CURRENTLYNOTAVAIL", "DDERR_EXCEPTION", "DDERR_HEIGHTALIGN", "DDERR_INCOMPATIBLEPRIMARY",
    "DDERR_INVALIDCAPS", "DDERR_INVALIDCLIPLIST", "DDERR_INVALIDMODE", "DDERR_INVALIDOBJECT",
    "DDERR_INVALIDPIXELFORMAT", "DDERR_INVALIDRECT", "DDERR_LOCKEDSURFACES", "DDERR_NO3D",
    "DDERR_NOALPHAHW", "DDERR_NOSTEREOHARDWARE", "DDERR_NOSURFACELEFT", "DDERR_NOCLIPLIST",
    "DDERR_NOCOLORCONVHW", "DDERR_NOCOOPERATIVELEVELSET", "DDERR_NOCOLORKEY", "DDERR_NOCOLORKEYHW",
    "DDERR_NODIRECTDRAWSUPPORT", "DDERR_NOEXCLUSIVEMODE", "DDERR_NOFLIPHW", "DDERR_NOGDI",
    "DDERR_NOMIRRORHW", "DDERR_NOTFOUND", "DDERR_NOOVERLAYHW", "DDERR_OVERLAPPINGRECTS",
    "DDERR_NORASTEROPHW", "DDERR_NOROTATIONHW", "DDERR_NOSTRETCHHW", "DDERR_NOT4BITCOLOR",
    "DDERR_NOT4BITCOLORINDEX", "DDERR_NOT8BITCOLOR", "DDERR_NOTEXTUREHW", "DDERR_NOVSYNCHW",
    "DDERR_NOZBUFFERHW", "DDERR_NOZOVERLAYHW", "DDERR_OUTOFCAPS", "DDERR_OUTOFVIDEOMEMORY",
    "DDERR_OVERLAYCANTCLIP", "DDERR_OVERLAYCOLORKEYONLYONEACTIVE", "DDERR_PALETTEBUSY",
    "DDERR_COLORKEYNOTSET", "DDERR_SURFACEALREADYATTACHED", "DDERR_SURFACEALREADYDEPENDENT",
    "DDERR_SURFACEBUSY", "DDERR_CANTLOCKSURFACE", "DDERR_SURFACEISOBSCURED", "DDERR_SURFACELOST",
    "DDERR_SURFACENOTATTACHED", "DDERR_TOOBIGHEIGHT", "DDERR_TOOBIGSIZE", "DDERR_TOOBIGWIDTH",
    "DDERR_UNSUPPORTEDFORMAT", "DDERR_UNSUPPORTEDMASK", "DDERR_INVALIDSTREAM",
    "DDERR_VERTICALBLANKINPROGRESS", "DDERR_WASSTILLDRAWING", "DDERR_DDSCAPSCOMPLEXREQUIRED",
    "DDERR_XALIGN", "DDERR_INVALIDDIRECTDRAWGUID", "DDERR_DIRECTDRAWALREADYCREATED",
    "DDERR_NODIRECTDRAWHW", "DDERR_PRIMARYSURFACEALREADYEXISTS", "DDERR_NOEMULATION",
    "DDERR_REGIONTOOSMALL", "DDERR_CLIPPERISUSINGHWND", "DDERR_NOCLIPPERATTACHED", "DDERR_NOHWND",
    "DDERR_HWNDSUBCLASSED", "DDERR_HWNDALREADYSET", "DDERR_NOPALETTEATTACHED", "DDERR_NOPALETTEHW",
    "DDERR_BLTFASTCANTCLIP", "DDERR_NOBLTHW", "DDERR_NODDROPSHW", "DDERR_OVERLAYNOTVISIBLE",
    "DDERR_NOOVERLAYDEST", "DDERR_INVALIDPOSITION", "DDERR_NOTAOVERLAYSURFACE",
    "DDERR_EXCLUSIVEMODEALREADYSET", "DDERR_NOTFLIPPABLE", "DDERR_CANTDUPLICATE", "DDERR_NOTLOCKED",
    "DDERR_CANTCREATEDC", "DDERR_NODC", "DDERR_WRONGMODE", "DDERR_IMPLICITLYCREATED",
    "DDERR_NOTPALETTIZED", "DDERR_UNSUPPORTEDMODE", "DDERR_NOMIPMAPHW", "DDERR_INVALIDSURFACETYPE",
    "DDERR_NOOPTIMIZEHW", "DDERR_NOTLOADED", "DDERR_NOFOCUSWINDOW", "DDERR_DCALREADYCREATED",
    "DDERR_NONONLOCALVIDMEM", "DDERR_CANTPAGELOCK", "DDERR_CANTPAGEUNLOCK", "DDERR_NOTPAGELOCKED",
    "DDERR_MOREDATA", "DDERR_EXPIRED", "DDERR_TESTFINISHED", "DDERR_NEWMODE", "DDERR_VIDEONOTACTIVE",
    "DDERR_NOMONITORINFORMATION", "DDERR_NODRIVERSUPPORT", "DDERR_DEVICEDOESNTOWNSURFACE",
    "DDERR_UNSUPPORTED", "DDERR_GENERIC", "DDERR_NOTINITIALIZED", "DDERR_OUTOFMEMORY",
    "DDERR_INVALIDPARAMS",
};
// clang-format on

const std::set<std::string> without_trailing_space = {
    "DDERR_ALREADYINITIALIZED",  "DDERR_BLTFASTCANTCLIP", "DDERR_CANNOTATTACHSURFACE",
    "DDERR_CANNOTDETACHSURFACE", "DDERR_CANTCREATEDC",    "DDERR_CANTDUPLICATE",
};
const std::set<std::string> new_for_directx7 = {
    "DDERR_DDSCAPSCOMPLEXREQUIRED", "DDERR_TESTFINISHED",    "DDERR_NEWMODE",
    "DDERR_NOMONITORINFORMATION",   "DDERR_NODRIVERSUPPORT",
};

const DisplayErrorText* entry_named(const std::string& name) {
  for (const DisplayErrorText& entry : display_error_texts)
    if (name == entry.name) return &entry;
  return nullptr;
}

class ErrorReporterTest : public ::testing::Test {
 protected:
  void SetUp() override { headless_reset(); }
  void TearDown() override { headless_reset(); }
  DisplayErrorReporter reporter;
};

TEST_F(ErrorReporterTest, SuccessAndUnknownCodesShowNothingAndGoOn) {
  EXPECT_EQ(reporter.check(video_code::ok), 0);
  EXPECT_EQ(reporter.check(e_nointerface), 0);
  EXPECT_EQ(reporter.check(code(0x887602B6u)), 0) << "DDERR_D3DNOTINITIALIZED is not in the table";
  EXPECT_EQ(reporter.check(code(0x8876025Bu)), 0) << "DDERR_NOTONMIPMAPSUBLEVEL is not in the table";
  EXPECT_EQ(reporter.check(dderr_invalidmode + 1), 0);
  EXPECT_EQ(reporter.check(1), 0) << "S_FALSE";
  EXPECT_EQ(reporter.check(-1), 0);
  EXPECT_TRUE(headless_popups().empty());
}

TEST_F(ErrorReporterTest, InvalidModeShowsItsTextThenTheBackendsReason) {
  EXPECT_EQ(reporter.check(dderr_invalidmode), 1);
  ASSERT_EQ(headless_popups().size(), 1u);
  EXPECT_EQ(headless_popups()[0].title, "TORVAN TEST PROGRAM");
  EXPECT_EQ(headless_popups()[0].text,
            std::string("DirectDraw does not support the requested mode. \n\n") + video_last_error());
  EXPECT_STREQ(error_popup_text(), "DirectDraw does not support the requested mode. ");
}

TEST_F(ErrorReporterTest, EveryKnownFailureShowsItsOwnTextOnce) {
  for (int i = 1; i < display_error_text_count; ++i) {
    const DisplayErrorText& entry = display_error_texts[i];
    ASSERT_EQ(reporter.check(entry.code), 1) << entry.name;
    ASSERT_EQ(headless_popups().size(), static_cast<size_t>(i)) << entry.name;
    EXPECT_EQ(headless_popups().back().text.rfind(entry.text, 0), 0u) << entry.name;
    EXPECT_EQ(error_popup_text(), entry.text) << entry.name;
  }
}

TEST_F(ErrorReporterTest, PopupWithoutReasonShowsTheTextAlone) {
  show_error_popup("The provided rectangle was invalid. ");
  show_error_popup("No clip list is available. ", "");
  ASSERT_EQ(headless_popups().size(), 2u);
  EXPECT_EQ(headless_popups()[0].text, "The provided rectangle was invalid. ");
  EXPECT_EQ(headless_popups()[1].text, "No clip list is available. ");
}

TEST_F(ErrorReporterTest, AnOverlongReasonIsCutNotOverrun) {
  const std::string reason(5000, 'x');
  show_error_popup("No GDI is present. ", reason.c_str());
  ASSERT_EQ(headless_popups().size(), 1u);
  const std::string& text = headless_popups()[0].text;
  EXPECT_EQ(text.rfind("No GDI is present. \n\nxxx", 0), 0u);
  EXPECT_LT(text.size(), 1024u);
}

TEST(ErrorTextTable, HoldsDdOkThenTheFailuresInOrder) {
  ASSERT_EQ(display_error_text_count, 118);
  EXPECT_STREQ(display_error_texts[0].name, "DD_OK");
  EXPECT_EQ(display_error_texts[0].code, 0);
  EXPECT_EQ(display_error_texts[0].text, nullptr);
  EXPECT_EQ(display_error_text(0), nullptr);
  std::set<int32_t> codes;
  for (int i = 1; i < 118; ++i) {
    const DisplayErrorText& entry = display_error_texts[i];
    EXPECT_STREQ(entry.name, failure_names[i - 1]) << "entry " << i;
    ASSERT_NE(entry.text, nullptr) << entry.name;
    EXPECT_NE(entry.code, 0) << entry.name;
    EXPECT_TRUE(codes.insert(entry.code).second) << entry.name << " repeats a code";
    EXPECT_EQ(display_error_text(entry.code), entry.text) << entry.name;
  }
}

TEST(ErrorTextTable, DirectDrawCodesAscendThenTheFiveComCodes) {
  // 0x8876xxxx: facility 0x876, the DirectDraw number in the low 16 bits.
  for (int i = 1; i < 113; ++i) {
    const uint32_t value = static_cast<uint32_t>(display_error_texts[i].code);
    EXPECT_EQ(value >> 16, 0x8876u) << display_error_texts[i].name;
    if (i > 1) {
      EXPECT_GT(value, static_cast<uint32_t>(display_error_texts[i - 1].code)) << display_error_texts[i].name;
    }
  }
  const struct {
    const char* name;
    uint32_t value;
  } com_codes[] = {
      {"DDERR_UNSUPPORTED", 0x80004001u}, {"DDERR_GENERIC", 0x80004005u},       {"DDERR_NOTINITIALIZED", 0x800401F0u},
      {"DDERR_OUTOFMEMORY", 0x8007000Eu}, {"DDERR_INVALIDPARAMS", 0x80070057u},
  };
  for (int i = 0; i < 5; ++i) {
    EXPECT_STREQ(display_error_texts[113 + i].name, com_codes[i].name);
    EXPECT_EQ(static_cast<uint32_t>(display_error_texts[113 + i].code), com_codes[i].value);
  }
  EXPECT_EQ(static_cast<uint32_t>(entry_named("DDERR_SURFACELOST")->code), 0x887601C2u);
  EXPECT_EQ(static_cast<uint32_t>(entry_named("DDERR_DEVICEDOESNTOWNSURFACE")->code), 0x887602BBu);
}

TEST(ErrorTextTable, TrailingSpacesAndDirectX7PrefixesAreKept) {
  int with_space = 0;
  int prefixed = 0;
  for (int i = 1; i < 118; ++i) {
    const std::string name = display_error_texts[i].name;
    const std::string text = display_error_texts[i].text;
    ASSERT_GE(text.size(), 2u);
    if (without_trailing_space.count(name)) {
      EXPECT_EQ(text.back(), '.') << name;
    } else {
      EXPECT_EQ(text.substr(text.size() - 2), ". ") << name << " ends with one space";
      ++with_space;
    }
    const bool has_prefix = text.rfind("New for DirectX 7.0. ", 0) == 0;
    EXPECT_EQ(has_prefix, new_for_directx7.count(name) == 1) << name;
    prefixed += has_prefix;
    EXPECT_EQ(text.find("  "), std::string::npos) << name << " has a doubled space";
  }
  EXPECT_EQ(with_space, 111);
  EXPECT_EQ(prefixed, 5);
}

TEST(ErrorTextTable, TextsAsStored) {
  EXPECT_STREQ(entry_named("DDERR_INVALIDMODE")->text, "DirectDraw does not support the requested mode. ");
  EXPECT_STREQ(entry_named("DDERR_EXCLUSIVEMODEALREADYSET")->text,
               "An attempt was made to set the cooperative level when it was already set to "
               "exclusive. ");
  EXPECT_STREQ(entry_named("DDERR_ALREADYINITIALIZED")->text, "The object has already been initialized.");
  EXPECT_STREQ(entry_named("DDERR_SURFACELOST")->text,
               "Access to the surface is refused because the surface memory is gone. Call the "
               "IDirectDrawSurface7::Restore method on this surface to restore the memory "
               "associated with it. ");
}

// The backends' codes must be ones the popup can name, and the ones their comments say.
TEST(ErrorTextTable, BackendCodesAreDocumentedFailures) {
  const struct {
    int32_t code;
    const char* name;
  } named[] = {
      {video_code::no_window, "DDERR_NOHWND"},
      {video_code::no_device, "DDERR_NODIRECTDRAWSUPPORT"},
      {video_code::no_exclusive, "DDERR_NOEXCLUSIVEMODE"},
      {video_code::invalid_mode, "DDERR_INVALIDMODE"},
      {video_code::out_of_video_memory, "DDERR_OUTOFVIDEOMEMORY"},
      {video_code::no_palette_hw, "DDERR_NOPALETTEHW"},
      {video_code::surface_lost, "DDERR_SURFACELOST"},
      {video_code::generic, "DDERR_GENERIC"},
  };
  for (const auto& n : named) {
    const DisplayErrorText* entry = entry_named(n.name);
    ASSERT_NE(entry, nullptr) << n.name;
    EXPECT_EQ(entry->code, n.code) << n.name;
  }
}

}  // namespace
