#include "render/face_runs.h"

#include <fmt/format.h>

#include "nrw/core.h"
#include "util/utf8.h"

namespace nrw {
namespace {

// Characters that only steer others (joiners, direction marks, variation selectors, the byte order
// mark) and control characters: nothing of them is seen, so nothing is lost without them.
bool ShowsNothing(char32_t c) {
  return c < 0x20 || (c >= 0x7F && c < 0xA0) || (c >= 0x200B && c <= 0x200F) ||
         (c >= 0x202A && c <= 0x202E) || (c >= 0x2060 && c <= 0x2064) ||
         (c >= 0xFE00 && c <= 0xFE0F) || c == 0xFEFF || (c >= 0xE0100 && c <= 0xE01EF);
}

}  // namespace

std::vector<FaceRun> FaceRuns(PdfFaces& faces, const std::string& family, bool bold,
                              std::u32string_view text) {
  const PdfFace& primary = faces.Get(family, bold);
  std::vector<FaceRun> runs;
  for (const char32_t c : text) {
    const PdfFace* face = &primary;
    if (!primary.Has(c)) {
      if (ShowsNothing(c)) continue;
      face = faces.Fallback(family, bold, c);
      if (face == nullptr) {
        throw Exception(fmt::format(
            "O texto \"{}\" tem o caractere U+{:04X}, que nenhuma fonte instalada tem; o PDF "
            "perderia parte do texto.",
            EncodeUtf8(text), static_cast<uint32_t>(c)));
      }
    }
    if (runs.empty() || runs.back().face != face) runs.push_back({face, {}});
    runs.back().text += c;
  }
  return runs;
}

}  // namespace nrw
