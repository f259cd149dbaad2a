// A line of text split by the faces that draw it: the layout's face wherever it has the characters,
// and for the characters it lacks ("中文", an emoji) a face fontconfig finds for them, so that no
// character of a value is drawn as a blank. A character no installed face has is an error naming
// the text: a document that silently loses part of a name is worse than none.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "render/pdf_faces.h"

namespace nrw {

struct FaceRun {
  const PdfFace* face = nullptr;
  std::u32string text;
};

//! The text (UTF-32) in runs of one face each, in order. Characters that show nothing (zero-width
//! joiners, variation selectors) are left out where the face lacks them. Raises Exception naming
//! the text and the character when no installed face has it.
std::vector<FaceRun> FaceRuns(PdfFaces& faces, const std::string& family, bool bold,
                              std::u32string_view text);

}  // namespace nrw
