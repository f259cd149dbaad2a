// The bindings a report class keeps on the host's events: the panel's separator statement, the
// report's separator answer, a lookup's filter and the before-section event. Declared last in a
// class, they are given back first when the instance is freed.
#pragma once

#include <string>

#include "nrw/events.h"
#include "nrw/report.h"

namespace nrw::common {

//! (panel, fields, table, filter, separator index from 0, statement in and out).
using SQLSeparadorBinding = EventBinding<TnpqPowerParam&, const std::string&, const std::string&,
                                         const std::string&, int, std::string&>;
//! (report query, generate flag out).
using ValoresSeparadorBinding = EventBinding<TnrwReport&, bool&>;
//! (sender, filter text in and out).
using FiltroBinding = EventBinding<TObject*, std::string&>;
//! (section number).
using BeforeSectionBinding = EventBinding<int>;
//! (sender, section number).
using AfterSectionBinding = EventBinding<TObject*, int>;

}  // namespace nrw::common
