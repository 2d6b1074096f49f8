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

// Takes note of a shared handle's filter, filtering switch and order, and puts them back when it
// goes, so that what a view narrows never reaches the commands that run after it. A row left in
// edit state is cancelled: the views post every change at once, so only a refused one is left.
class KeepHandleSettings {
  public:
    explicit KeepHandleSettings(store::Table& table);
    ~KeepHandleSettings();
    KeepHandleSettings(const KeepHandleSettings&) = delete;
    KeepHandleSettings& operator=(const KeepHandleSettings&) = delete;

  private:
    store::Table& table_;
    std::string filter_;
    bool filtered_;
    std::string index_name_;
};

}  // namespace lexorin::editor
