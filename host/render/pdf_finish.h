// Finishing a drawn PDF document: protection with a password, for the copy a person receives, and
// the archival form (PDF/A-2b), for the copy an office keeps. Both take the document's bytes and
// answer new bytes; neither changes what the pages show.
#pragma once

#include <string>

namespace nrw {

//! What the archival copy states about itself (document information and XMP metadata).
struct PdfDescription {
  std::string title;
  std::string author;
  std::string subject;
  //! "yyyy-mm-ddThh:mm:ss" of the run; the same in the information dictionary and the metadata.
  std::string created;
};

//! The document encrypted with AES-256: it opens only with the password, may be printed and read
//! aloud, but not changed (the owner password is random and kept nowhere). Raises Exception for a
//! document that cannot be read or an empty password.
std::string ProtectPdf(const std::string& pdf, const std::string& password);

//! The document as PDF/A-2b: PDF 1.7, an sRGB output intent, XMP metadata that declares the
//! conformance and repeats the document information, and a document identifier. Its fonts must
//! already be embedded (the drawing does that). Raises Exception when the colour profile is
//! missing or the document cannot be read.
std::string ArchivePdf(const std::string& pdf, const PdfDescription& description);

}  // namespace nrw
