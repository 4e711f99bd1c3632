// The captions of the show, one group per caption event of the script.
#include "scenes/captions/captions.h"

#include "scenes/common/effect.h"

namespace {

constexpr int32_t at(int32_t row, int32_t column) { return row * screen_width + column; }

const CaptionItem darno[] = {{at(180, 20), "DARNO"}};
const CaptionItem vrak[] = {{at(180, 225), "VRAK"}};
const CaptionItem title_early[] = {{at(90, 15), "T A R N W I C K"}};
const CaptionItem birth[] = {{at(180, 10), "BIRTH"}};
const CaptionItem drifting[] = {{at(180, 10), "DRIFTING"}};
const CaptionItem fight[] = {{at(180, 10), "FIGHT"}};
const CaptionItem fight_magic[] = {{at(180, 10), "FIGHT"}, {at(90, 50), "WEIRD MAGIC"}};
const CaptionItem fight_moon[] = {{at(180, 10), "FIGHT"}, {at(90, 60), "MOONPEOPLE"}};
const CaptionItem fight_thaum[] = {{at(180, 10), "FIGHT"}, {at(90, 50), "THAUMATURGE"}};
const CaptionItem enjoy[] = {{at(180, 10), "ENJOY"}};
const CaptionItem escaping[] = {{at(180, 10), "ESCAPING"}};
const CaptionItem title_late[] = {{at(90, 15), "T A R N W I C K"}};
const CaptionItem slick[] = {{at(90, 12), "WE ARE THE SLICK"}};

template <int32_t N>
constexpr CaptionGroup group(const CaptionItem (&items)[N]) {
  return {N, items};
}
constexpr CaptionGroup none = {0, nullptr};

}  // namespace

const CaptionGroup caption_groups[caption_group_count] = {
    none,                // 0: start
    group(darno),        // 1: order 1
    none,                // 2: order 2
    group(vrak),         // 3: order 3
    none,                // 4: order 4
    group(title_early),  // 5: order 5
    group(birth),        // 6: order 9
    group(drifting),     // 7: order 13
    group(fight),        // 8: order 15
    group(fight_magic),  // 9: order 15 row 32
    group(fight_moon),   // 10: order 16
    group(fight_thaum),  // 11: order 16 row 32
    group(enjoy),        // 12: order 17
    group(escaping),     // 13: order 21
    group(title_late),   // 14: order 25
    none,                // 15: order 26
    group(slick),        // 16: order 42
    none,                // 17: never reached by the script
};
