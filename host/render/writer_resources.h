// What WriterResources holds, for the writers that use it.
#pragma once

#include "render/page_writer.h"
#include "render/pdf_faces.h"

namespace nrw {

struct WriterResources::Parts {
  //! The faces of every PDF document of the run.
  PdfFaces faces;
};

}  // namespace nrw
