#include "render/html_faces.h"

#include <hb-subset.h>

#include <memory>

#include "nrw/core.h"
#include "render/face_runs.h"

namespace nrw {
namespace {

struct SubsetInputDeleter {
  void operator()(hb_subset_input_t* input) const { hb_subset_input_destroy(input); }
};

// The face cut down to the characters, as a TrueType/OpenType file.
std::string SubsetOf(const PdfFace& face, const std::set<char32_t>& characters) {
  std::unique_ptr<hb_subset_input_t, SubsetInputDeleter> input(hb_subset_input_create_or_fail());
  if (!input) throw Exception("Memória insuficiente para a fonte do HTML.");
  hb_set_t* unicodes = hb_subset_input_unicode_set(input.get());
  for (const char32_t c : characters) hb_set_add(unicodes, c);
  hb_subset_input_set_flags(input.get(), HB_SUBSET_FLAGS_NO_HINTING);
  std::unique_ptr<hb_face_t, HbDeleter> subset(hb_subset_or_fail(face.Face(), input.get()));
  if (!subset) throw Exception("Não foi possível embutir a fonte " + face.File() + " no HTML.");
  std::unique_ptr<hb_blob_t, HbDeleter> blob(hb_face_reference_blob(subset.get()));
  unsigned length = 0;
  const char* data = hb_blob_get_data(blob.get(), &length);
  return std::string(data, length);
}

}  // namespace

std::string Base64(const std::string& bytes) {
  static constexpr char kDigits[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  size_t i = 0;
  for (; i + 2 < bytes.size(); i += 3) {
    const unsigned v = (static_cast<unsigned char>(bytes[i]) << 16) |
                       (static_cast<unsigned char>(bytes[i + 1]) << 8) |
                       static_cast<unsigned char>(bytes[i + 2]);
    out += kDigits[(v >> 18) & 63];
    out += kDigits[(v >> 12) & 63];
    out += kDigits[(v >> 6) & 63];
    out += kDigits[v & 63];
  }
  if (i < bytes.size()) {
    const bool two = i + 1 < bytes.size();
    const unsigned v = (static_cast<unsigned char>(bytes[i]) << 16) |
                       (two ? static_cast<unsigned char>(bytes[i + 1]) << 8 : 0);
    out += kDigits[(v >> 18) & 63];
    out += kDigits[(v >> 12) & 63];
    out += two ? kDigits[(v >> 6) & 63] : '=';
    out += '=';
  }
  return out;
}

HtmlFaces::Embedded& HtmlFaces::Note(const PdfFace& face, bool bold) {
  const auto [found, added] = embedded_.try_emplace(&face);
  if (added) {
    order_.push_back(&face);
    found->second.css_name = "nrw" + std::to_string(order_.size());
    found->second.bold = bold;
  }
  return found->second;
}

std::string HtmlFaces::FamiliesFor(const std::string& family, bool bold, std::u32string_view text) {
  const PdfFace& primary = faces_.Get(family, bold);
  std::string families = "'" + Note(primary, bold).css_name + "'";
  for (const FaceRun& run : FaceRuns(faces_, family, bold, text)) {
    Embedded& embedded = Note(*run.face, bold);
    embedded.characters.insert(run.text.begin(), run.text.end());
    const std::string name = "'" + embedded.css_name + "'";
    if (families.find(name) == std::string::npos) families += "," + name;
  }
  return families;
}

std::string HtmlFaces::FontFaceRules() const {
  std::string rules;
  for (const PdfFace* face : order_) {
    const Embedded& embedded = embedded_.at(face);
    if (embedded.characters.empty()) continue;
    rules += "@font-face { font-family: '" + embedded.css_name +
             "'; font-weight: " + (embedded.bold ? "bold" : "normal") +
             "; src: url(data:font/ttf;base64," + Base64(SubsetOf(*face, embedded.characters)) +
             ") format('truetype'); }\n";
  }
  return rules;
}

}  // namespace nrw
