// Compile-time layout of template lines: each line is given as pieces placed
// at fixed columns, the blanks between them filled in, so a template reads as
// its column table and a piece that overlaps the one before it does not
// compile.
//
//   constexpr TemplateLine kLines[] = {
//       Layout({{0, "EIN..............: "}, {19, FIELD "IDNM"}, {72, FIELD "TIME"}}, 80),
//       Layout({{0, "Total"}, Run(67, '=', 13)}),
//   };
//   constexpr auto kTemplate = LinePointers(kLines);   // ends in a null entry
#pragma once

#include <array>
#include <cstddef>
#include <initializer_list>

/// Opens a field in a template line: the marker byte, then the key as a
/// separate literal ("\xAD" must not run into the key's letters).
#define FIELD "\xAD"

namespace ledrix::reports {

constexpr int kTemplateLineBytes = 96;

/// One template line, NUL-terminated, in static storage.
struct TemplateLine {
  char text[kTemplateLineBytes] = {};
};

/// A text at a column, or `count` copies of `fill` there.
struct Piece {
  int column = 0;
  const char* text = nullptr;
  char fill = ' ';
  int count = 0;
};

consteval Piece Run(int column, char fill, int count) {
  return Piece{column, nullptr, fill, count};
}

/// Places the pieces, in column order, on a blank line; `length` pads the
/// line with blanks to that many characters (the room of a last field).
consteval TemplateLine Layout(std::initializer_list<Piece> pieces, int length = 0) {
  TemplateLine line;
  int end = 0;
  for (const Piece& piece : pieces) {
    if (piece.column < end) throw "template pieces overlap";
    while (end < piece.column) line.text[end++] = ' ';
    if (piece.text) {
      for (const char* c = piece.text; *c != '\0'; ++c) line.text[end++] = *c;
    } else {
      for (int i = 0; i < piece.count; ++i) line.text[end++] = piece.fill;
    }
  }
  while (end < length) line.text[end++] = ' ';
  if (end >= kTemplateLineBytes) throw "template line too long";
  return line;
}

/// A line that is its text alone.
consteval TemplateLine Text(const char* text) {
  return Layout({{0, text}});
}

/// The template as the reports walk it: the lines of `parts`, in order, as
/// pointers ended by a null entry.
template <std::size_t... N>
constexpr std::array<const char*, (N + ... + 1)> LinePointers(const TemplateLine (&... parts)[N]) {
  std::array<const char*, (N + ... + 1)> pointers{};
  std::size_t next = 0;
  auto append = [&](const auto& lines) {
    for (const TemplateLine& line : lines) pointers[next++] = line.text;
  };
  (append(parts), ...);
  pointers[next] = nullptr;
  return pointers;
}

}  // namespace ledrix::reports
