#pragma once

#include <cstdint>
#include <string>

#include "store/table_store.h"

// The narrowing of the scan result views: the filter text of a unit click, and the guard that
// gives a shared table handle its filter and order back when a view closes.
namespace lexorin::editor {

// The three check boxes of the result views.
struct ResultChoices {
    bool no_ignored = false;
    bool no_translated = false;  // keeps rows whose translation is empty
    bool changed_only = false;
};

// True for the file list row that stands for all units (compared upper-cased).
bool IsShowAllRow(const std::string& unit_name);

// The filter of a click on the unit list line with `key` and `unit_name`: "unitname=" + key, or
// for the "(Show all)" row "unitname<>" + key (no string row refers to that row, so all pass),
// then " and Ignore=0", " and TranslateString=''", " and Changed=1" as chosen.
std::string UnitClickFilter(const std::string& unit_name, std::int64_t key,
                            const ResultChoices& choices);

// The choices alone, joined by " and "; empty when none is chosen.
std::string ChoicesFilter(const ResultChoices& choices);

}  // namespace lexorin::editor
