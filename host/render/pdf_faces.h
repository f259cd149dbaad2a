// The faces PDF documents draw with, found and read once for every document of a run: a run of one
// statement per employee writes thousands of small documents, and finding, mapping and reading a
// font file again for each of them cost more than drawing its pages.
#pragma once

#include <hb.h>

#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <utility>

namespace nrw {

//! Releases what HarfBuzz hands out, for std::unique_ptr.
struct HbDeleter {
  void operator()(hb_blob_t* blob) const { hb_blob_destroy(blob); }
  void operator()(hb_face_t* face) const { hb_face_destroy(face); }
  void operator()(hb_font_t* font) const { hb_font_destroy(font); }
};

//! One face, read only after it is made.
class PdfFace {
 public:
  //! Raises Exception when no face of the family (or none at all) is installed.
  PdfFace(const std::string& family, bool bold);
  //! The face at index of the font file; raises Exception when the file cannot be read.
  PdfFace(const std::string& file, int index, bool bold);
  ~PdfFace();
  PdfFace(const PdfFace&) = delete;
  PdfFace& operator=(const PdfFace&) = delete;

  hb_face_t* Face() const { return face_.get(); }
  hb_font_t* Font() const { return font_.get(); }
  const std::string& File() const { return file_; }
  const std::string& PostScriptName() const { return postscript_name_; }
  unsigned Upem() const { return upem_; }
  double AscentEm() const { return ascent_em_; }
  double DescentEm() const { return descent_em_; }
  //! In thousandths of an em: xMin, yMin, xMax, yMax of every glyph.
  const int* BBox() const { return bbox_; }
  int CapHeight() const { return cap_height_; }
  //! Whether the face has a glyph for the character.
  bool Has(char32_t code) const;

 private:
  void Load(int index, bool bold);

  std::string file_;
  std::unique_ptr<hb_blob_t, HbDeleter> blob_;
  std::unique_ptr<hb_face_t, HbDeleter> face_;
  std::unique_ptr<hb_font_t, HbDeleter> font_;
  unsigned upem_ = 1000;
  double ascent_em_ = 0.9;
  double descent_em_ = 0.2;
  int bbox_[4] = {0, -300, 1000, 1000};
  int cap_height_ = 700;
  std::string postscript_name_;
};

//! The faces of one run, by family and weight, and the faces found for the characters a family
//! lacks.
class PdfFaces {
 public:
  const PdfFace& Get(const std::string& family, bool bold);
  //! The face fontconfig finds nearest to the family and weight that has an outline for the
  //! character (Debian's Droid or Noto faces for Chinese, Symbola or DejaVu for emoji); nullptr
  //! when no installed face has one.
  const PdfFace* Fallback(const std::string& family, bool bold, char32_t code);

 private:
  const PdfFace& FromFile(const std::string& file, int index, bool bold);

  std::map<std::pair<std::string, bool>, std::unique_ptr<const PdfFace>> faces_;
  std::map<std::tuple<std::string, int, bool>, std::unique_ptr<const PdfFace>> files_;
  std::map<std::tuple<std::string, bool, char32_t>, const PdfFace*> fallbacks_;
};

}  // namespace nrw
