// "[@PAGINAS]", the document's page count: the engine prints a marker in its place, and the count
// replaces the marker once the last page is known (the writer draws the pages only then).
#pragma once

#include <string_view>

#include "layout/layout.h"
#include "layout/page_model.h"

namespace nrw {

//! What "[@PAGINAS]" prints until the document's page count is known: as wide as four digits, so
//! that the count never makes a text wider than the engine measured it.
inline constexpr std::string_view kPageCountMarker =
    "\xEE\x80\x80\xEE\x80\x80\xEE\x80\x80\xEE\x80\x80";

//! Whether an item of the layout prints the page count ("[@PAGINAS]").
bool CountsPages(const Layout& layout);

//! Whether a text of the page holds the marker.
bool HoldsMarker(const Page& page);

//! Puts the count in place of every marker in the section's texts; answers whether there was one
//! (the section's flow is then the marker's, not the count's).
bool ReplacePageCountMarker(PlacedSection& section, int count);

//! The page with the count in place of every marker, the sections that held one flowed again (a
//! count narrower than the marker moves a text aligned right or centred).
Page WithPageCount(const Layout& layout, const Page& page, int count);

}  // namespace nrw
