// Writes display/error_texts_data.cpp from the table of DirectDraw result codes (one line per
// code: name, hexadecimal value, text, tab-separated; a fourth column is a reviewer's note and
// is ignored). The texts are kept byte for byte, trailing spaces included.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "tools/datagen/common/emit_source.h"

namespace {

constexpr size_t expected_rows = 118;

struct Row {
  std::string name;
  uint32_t value;
  std::string text;
};

std::vector<std::string> split_tabs(const std::string& line) {
  std::vector<std::string> fields;
  size_t start = 0;
  for (;;) {
    const size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
    if (tab == std::string::npos) return fields;
    start = tab + 1;
  }
}

bool parse_value(const std::string& field, uint32_t* value) {
  if (field.size() != 10 || field.compare(0, 2, "0x") != 0) return false;
  char* end = nullptr;
  const unsigned long parsed = std::strtoul(field.c_str() + 2, &end, 16);
  if (*end != '\0') return false;
  *value = static_cast<uint32_t>(parsed);
  return true;
}

// A C string literal; the texts are plain ASCII, anything else is refused.
bool quote(const std::string& text, std::string* literal) {
  *literal = "\"";
  for (const char c : text) {
    if (c < 0x20 || c > 0x7E) return false;
    if (c == '"' || c == '\\') *literal += '\\';
    *literal += c;
  }
  *literal += '"';
  return true;
}

bool read_rows(const char* path, std::vector<Row>* rows) {
  std::ifstream in(path);
  if (!in) {
    std::fprintf(stderr, "cannot read %s\n", path);
    return false;
  }
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    const std::vector<std::string> fields = split_tabs(line);
    Row row;
    if (fields.size() < 3 || fields.size() > 4 || !parse_value(fields[1], &row.value)) {
      std::fprintf(stderr, "%s:%d: expected NAME<tab>0xVALUE<tab>TEXT\n", path, number);
      return false;
    }
    row.name = fields[0];
    row.text = fields[2];
    const bool success = rows->empty();
    if (success ? row.name != "DD_OK" || row.value != 0 || !row.text.empty()
                : row.name.rfind("DDERR_", 0) != 0 || row.text.empty()) {
      std::fprintf(stderr, "%s:%d: DD_OK without text first, then DDERR_ codes with texts\n", path, number);
      return false;
    }
    rows->push_back(row);
  }
  if (rows->size() != expected_rows) {
    std::fprintf(stderr, "%s: %zu codes, expected %zu\n", path, rows->size(), expected_rows);
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (!datagen::arguments_fit(argc, 3, "make-error-texts TABLE.tsv OUT.cpp")) return 2;
  std::vector<Row> rows;
  if (!read_rows(argv[1], &rows)) return 1;

  std::string body = "const DisplayErrorText display_error_texts[display_error_text_count] = {\n";
  for (const Row& row : rows) {
    std::string literal = "nullptr";
    if (!row.text.empty() && !quote(row.text, &literal)) {
      std::fprintf(stderr, "%s: text of %s is not plain ASCII\n", argv[1], row.name.c_str());
      return 1;
    }
    char value[16];
    std::snprintf(value, sizeof value, "0x%08Xu", static_cast<unsigned>(row.value));
    body += "    {\"" + row.name + "\", static_cast<int32_t>(" + value + "),\n     " + literal + "},\n";
  }
  body += "};\n";
  return datagen::write_source(argv[2], "tools/datagen/error_texts/make_error_texts.cpp", {"display/error_texts.h"},
                               body)
             ? 0
             : 1;
}
