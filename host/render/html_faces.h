// The faces an HTML document draws with, embedded in it: each face used becomes an @font-face of
// its own, a subset of the characters the document shows with it, written into the page as base64
// data, so that the file shows the same letters on any machine (and on one without the layout's
// font). A character the layout's face lacks takes a face fontconfig finds (render/face_runs.h).
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "render/pdf_faces.h"

namespace nrw {

class HtmlFaces {
 public:
  //! The faces are borrowed (the run's, or the document's own).
  explicit HtmlFaces(PdfFaces& faces) : faces_(faces) {}

  //! The CSS font families that draw the text in the family and weight, the layout's face first,
  //! noting the characters each one shows. Raises Exception when no face has a character.
  std::string FamiliesFor(const std::string& family, bool bold, std::u32string_view text);
  //! One @font-face rule per face used, each with the subset of its characters.
  std::string FontFaceRules() const;

 private:
  struct Embedded {
    std::string css_name;
    bool bold = false;
    std::set<char32_t> characters;
  };
  Embedded& Note(const PdfFace& face, bool bold);

  PdfFaces& faces_;
  //! In the order first used: the same bytes every run.
  std::vector<const PdfFace*> order_;
  std::map<const PdfFace*, Embedded> embedded_;
};

//! The bytes as base64 (RFC 4648, with padding).
std::string Base64(const std::string& bytes);

}  // namespace nrw
