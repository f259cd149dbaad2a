// "[@PAGINAS]", the document's page count, and "[@PAGINAS:pPag]", the pages of the group a page
// belongs to (the pages numbered by the variable pPag until the numbering starts again, a copy of a
// statement): the engine prints a marker in their place, and the counts replace the markers once
// the last page is known (the writer draws the pages only then).
#pragma once

#include <string_view>
#include <vector>

#include "layout/layout.h"
#include "layout/page_model.h"

namespace nrw {

//! What "[@PAGINAS]" prints until the document's page count is known: as wide as four digits, so
//! that the count never makes a text wider than the engine measured it.
inline constexpr std::string_view kPageCountMarker =
    "\xEE\x80\x80\xEE\x80\x80\xEE\x80\x80\xEE\x80\x80";
//! What "[@PAGINAS:VARIABLE]" prints until the count of the page's group is known.
inline constexpr std::string_view kGroupPageCountMarker =
    "\xEE\x80\x81\xEE\x80\x81\xEE\x80\x81\xEE\x80\x81";

struct PageCounts {
  int document = 0;
  int group = 0;
};

//! Whether an item of the layout prints a page count ("[@PAGINAS]" or "[@PAGINAS:VARIABLE]").
bool CountsPages(const Layout& layout);

//! Whether a text of the page holds a marker.
bool HoldsMarker(const Page& page);

//! Per page, how many pages its group has, from each page's number within its group
//! (Page::group_page): a group starts where that number does not grow. Pages without a number
//! count 0.
std::vector<int> GroupPageCounts(const std::vector<int>& group_pages);

//! Puts the counts in place of every marker in the section's texts; answers whether there was one
//! (the section's flow is then the marker's, not the count's).
bool ReplacePageCountMarkers(PlacedSection& section, const PageCounts& counts);

//! The section flowed again for its texts as they are now (the layout's section of its number).
void FlowAgain(const Layout& layout, PlacedSection& section);

//! The page with the counts in place of every marker, the sections that held one flowed again (a
//! count narrower than the marker moves a text aligned right or centred).
Page WithPageCount(const Layout& layout, const Page& page, const PageCounts& counts);

//! Every page with its counts in place.
std::vector<PageCounts> CountsOf(const std::vector<Page>& pages);

}  // namespace nrw
