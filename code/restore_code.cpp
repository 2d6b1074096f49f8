#include "code/restore_code.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <unordered_map>

#include "base/errors.h"
#include "base/file_utils.h"
#include "base/temporary_files.h"
#include "base/text_utils.h"
#include "code/restore_journal.h"
#include "code/restore_lines.h"
#include "code/unit_scanner.h"
#include "store/table_store.h"
#include "store/translation_fields.h"

namespace lexorin::code {

namespace {

// A unit to work on; `index` is its file list row, 0 for a unit only the journal knows.
struct UnitFile {
    std::int64_t index = 0;
    std::string path;
};

// A row of the language read, as a restore needs it.
struct ScannedRow {
    std::int64_t index = 0;
    std::int64_t unit = 0;
    std::string literal;  // with apostrophes and the blanks the table dropped
    int new_line = 0;
    bool ignore = false;
    bool given_back() const { return ignore && new_line == 0; }
};

// The two fields a restore changes, as one language's table holds them for a row.
struct RowMark {
    std::int64_t index = 0;
    bool ignore = false;
    std::int64_t new_line = 0;
};

// A language's pascal table with the marks of its rows by unit, read once: the rows of a unit
// are then reached by their key alone.
struct LanguageMarks {
    store::Table* table;
    std::map<std::int64_t, std::vector<RowMark>> by_unit;
};

// A row's marks before a restore changed them, for putting them back when the unit cannot be
// replaced after all.
struct RowChange {
    LanguageMarks* language;
    RowMark* mark;
    RowMark before;
};

// One unit with the rows chosen in it; `all_rows` when the unit itself was chosen.
struct UnitWork {
    UnitFile unit;
    bool all_rows = false;
    std::set<std::int64_t> rows;
};

std::vector<UnitFile> ReadFileList(store::Table& files) {
    std::vector<UnitFile> units;
    for (files.first(); !files.eof(); files.next()) {
        if (upper_case(files.text(store::field::UnitName)) == upper_case(store::kShowAll)) continue;
        units.push_back({files.integer(store::field::Index), files.text(store::field::Directory)});
    }
    return units;
}

std::map<std::int64_t, ScannedRow> ReadRows(store::Table& pascal) {
    std::map<std::int64_t, ScannedRow> rows;
    for (pascal.first(); !pascal.eof(); pascal.next()) {
        ScannedRow row;
        row.index = pascal.integer(store::field::Index);
        row.unit = pascal.integer(store::field::UnitName);
        const std::int64_t blanks =
            std::clamp<std::int64_t>(pascal.integer(store::field::SpacesAtEnd), 0, 4096);
        row.literal = "'" + pascal.text(store::field::OriginalString) +
                      std::string(static_cast<size_t>(blanks), ' ') + "'";
        row.new_line = static_cast<int>(pascal.integer(store::field::NewLine));
        row.ignore = pascal.logical(store::field::Ignore);
        rows.emplace(row.index, std::move(row));
    }
    return rows;
}

// Units by full path first; a bare file name stands for every unit of that name.
std::vector<UnitFile> MatchUnits(const std::string& name, const std::vector<UnitFile>& known) {
    std::vector<UnitFile> found;
    for (const auto& unit : known)
        if (unit.path == name) found.push_back(unit);
    if (!found.empty() || name.find('/') != std::string::npos) return found;
    for (const auto& unit : known)
        if (file_name_of(unit.path) == name) found.push_back(unit);
    return found;
}

// The units and rows the selection names, in the order of the file list, then the units only
// the journal knows. Raises an Error for a name or row that is not there.
std::vector<UnitWork> ResolveSelection(const RestoreSelection& selection,
                                       const std::vector<UnitFile>& files,
                                       const std::vector<std::string>& journal_units,
                                       const std::map<std::int64_t, ScannedRow>& rows,
                                       const std::string& table_name) {
    std::vector<UnitFile> known = files;
    for (const auto& path : journal_units) {
        bool listed = std::any_of(files.begin(), files.end(),
                                  [&](const UnitFile& f) { return f.path == path; });
        if (!listed) known.push_back({0, path});
    }
    std::map<std::string, UnitWork> chosen;
    auto take = [&](const UnitFile& unit) -> UnitWork& {
        UnitWork& work = chosen[unit.path];
        work.unit = unit;
        return work;
    };
    if (selection.everything())
        for (const auto& unit : known) take(unit).all_rows = true;
    for (const auto& name : selection.units) {
        std::vector<UnitFile> matches = MatchUnits(name, known);
        if (matches.empty()) throw Error("No scanned unit of the project is named " + name + ".");
        for (const auto& unit : matches) take(unit).all_rows = true;
    }
    // The compiler check hands over thousands of rows at a time.
    std::unordered_map<std::int64_t, const UnitFile*> by_index;
    for (const auto& unit : files) by_index.emplace(unit.index, &unit);
    for (std::int64_t index : selection.indexes) {
        auto row = rows.find(index);
        if (row == rows.end())
            throw Error("There is no row " + std::to_string(index) + " in " + table_name + ".");
        auto unit = by_index.find(row->second.unit);
        if (unit == by_index.end())
            throw Error("The row " + std::to_string(index) +
                        " belongs to no unit of the project's file list.");
        take(*unit->second).rows.insert(index);
    }
    std::vector<UnitWork> work;
    for (const auto& unit : known) {
        auto it = chosen.find(unit.path);
        if (it != chosen.end()) work.push_back(std::move(it->second));
        chosen.erase(unit.path);
    }
    return work;
}

std::map<std::int64_t, std::vector<RowMark>> ReadMarks(store::Table& pascal) {
    std::map<std::int64_t, std::vector<RowMark>> by_unit;
    for (pascal.first(); !pascal.eof(); pascal.next())
        by_unit[pascal.integer(store::field::UnitName)].push_back(
            {pascal.integer(store::field::Index), pascal.logical(store::field::Ignore),
             pascal.integer(store::field::NewLine)});
    return by_unit;
}

void Mark(store::Table& table, const RowMark& mark) {
    if (!table.find_key({mark.index})) return;
    table.edit();
    table.set_logical(store::field::Ignore, mark.ignore);
    table.set_integer(store::field::NewLine, mark.new_line);
    table.post_batched();  // the caller flushes once per unit
}

// Restored rows get Ignore and NewLine 0; the others of the unit get the number of the line
// that holds their reference now (or of the line they stood on, less the lines dropped above).
// Returns what was changed, for undoing it.
std::vector<RowChange> UpdateRows(LanguageMarks& language, std::int64_t unit,
                                  const RestoredUnit& result) {
    std::vector<RowChange> changes;
    auto rows = language.by_unit.find(unit);
    if (rows == language.by_unit.end()) return changes;
    for (RowMark& mark : rows->second) {
        RowMark to = mark;
        if (result.restored.count(mark.index)) {
            to.ignore = true;
            to.new_line = 0;
        } else if (mark.new_line > 0) {
            auto at = result.references.find(mark.index);
            to.new_line = at != result.references.end()
                              ? at->second
                              : result.Renumbered(static_cast<int>(mark.new_line));
        }
        if (to.ignore == mark.ignore && to.new_line == mark.new_line) continue;
        try {
            Mark(*language.table, to);
        } catch (...) {
            if (language.table->state() != store::Table::State::Browse) language.table->cancel();
            throw;
        }
        changes.push_back({&language, &mark, mark});
        mark = to;
    }
    return changes;
}

// The rows given back and their lines: each changed line once, its text cut short, so that a
// report stays small however many literals a line holds.
void AddToReport(const std::string& path, const RestoredUnit& result, RestoreReport& report) {
    if (result.restored.empty()) return;
    std::map<int, std::vector<std::int64_t>> by_line;  // the map keeps the indexes ascending
    for (const auto& [index, line] : result.restored) by_line[line].push_back(index);
    RestoredUnitListing& listing = report.units.emplace_back();
    listing.unit = path;
    for (const auto& [line, indexes] : by_line) {
        const std::string text = LineExcerpt(result.lines[static_cast<size_t>(line - 1)]);
        for (std::int64_t index : indexes) report.rows.push_back({index, path, line, text});
        if (listing.lines.size() < kListedLinesPerUnit) {
            listing.lines.push_back({line, indexes, text});
        } else {
            ++listing.unlisted_lines;
            listing.unlisted_rows += indexes.size();
        }
    }
}

void UndoRows(const std::vector<RowChange>& changes) {
    for (const RowChange& change : changes) {
        *change.mark = change.before;
        try {
            Mark(*change.language->table, change.before);
        } catch (const std::exception&) {
            // Rows that stay marked only tell a later restore to look for their reference
            // anywhere in the unit.
        }
    }
}

// Checked before anything changes, so that a unit that cannot be written keeps its rows too.
void RequireWritable(const std::string& path) {
    const FileProblem problem = writable_file_problem(path);
    if (problem != FileProblem::None)
        throw Error("Cannot restore " + path + ": " + describe(problem));
}

class CodeRestorer {
  public:
    explicit CodeRestorer(ProjectCodeTables& tables) : journal_(tables.journal) {
        // Rows are read and found by their number, files listed in the order they were met.
        for (auto& language : tables.pascal) {
            LanguageMarks& marks = tables_.emplace_back();
            marks.table = &language->table();
            marks.table->set_index_name("");
            marks.by_unit = ReadMarks(*marks.table);
        }
        read_ = &tables.selected().table();
        tables.units.table().set_index_name("");
        files_ = ReadFileList(tables.units.table());
        rows_ = ReadRows(*read_);
        for (const auto& [index, row] : rows_) rows_by_unit_[row.unit].push_back(index);
    }

    std::vector<UnitWork> Resolve(const RestoreSelection& selection) {
        return ResolveSelection(selection, files_, journal_.Units(), rows_, read_->table_name());
    }

    void Restore(const UnitWork& work, RestoreReport& report) {
        const std::string& path = work.unit.path;
        RequireWritable(path);
        const std::vector<std::string> lines = read_text_lines(ReadUnitText(path));

        std::vector<LiteralToRestore> literals;
        auto unit_rows = rows_by_unit_.find(work.unit.index);
        if (work.unit.index != 0 && unit_rows != rows_by_unit_.end()) {
            for (std::int64_t index : unit_rows->second) {
                const ScannedRow& row = rows_.at(index);
                if (work.all_rows || work.rows.count(index))
                    literals.push_back({index, row.literal, row.new_line});
            }
        }
        const std::optional<JournalEntry> entry = journal_.Find(path);
        RestoredUnit result = RestoreUnitLines(lines, literals, entry);
        for (std::int64_t index : result.missing)
            if (!rows_.at(index).given_back()) report.without_reference.push_back(index);
        if (!result.changed) {
            if (result.whole && entry) journal_.Remove(path);
            return;
        }

        // The new text is on disk beside the unit before the rows change; the rows reach the
        // disk before the unit is replaced.
        AtomicFileWriter writer(path);
        writer.write(join_text_lines(result.lines));
        writer.finish(true);
        std::vector<RowChange> changes;
        try {
            if (work.unit.index != 0) {
                for (auto& table : tables_) {
                    auto made = UpdateRows(table, work.unit.index, result);
                    changes.insert(changes.end(), made.begin(), made.end());
                }
            }
            for (auto& table : tables_) table.table->flush();
            writer.replace();
        } catch (...) {
            UndoRows(changes);
            for (auto& table : tables_) {
                try {
                    table.table->flush();
                } catch (const std::exception&) {
                }
            }
            throw;
        }
        for (const auto& [index, line] : result.restored) {
            rows_.at(index).ignore = true;
            rows_.at(index).new_line = 0;
        }
        AddToReport(path, result, report);
        if (result.whole) {
            report.whole_units.push_back(path);
            if (entry) journal_.Remove(path);
        }
    }

    void Flush() {
        for (auto& table : tables_) table.table->flush();
        journal_.Flush();
    }

  private:
    RestoreJournal& journal_;
    std::vector<LanguageMarks> tables_;  // every language's, in the order of the list
    store::Table* read_ = nullptr;       // the one the literals are read from
    std::vector<UnitFile> files_;
    std::map<std::int64_t, ScannedRow> rows_;
    std::map<std::int64_t, std::vector<std::int64_t>> rows_by_unit_;
};

std::vector<std::unique_ptr<store::PascalRows>> EveryLanguage(const store::TableFolder& folder,
                                                              const std::string& project,
                                                              const LanguageList& languages) {
    if (languages.items.empty()) throw Error("You have to add a language first.");
    std::vector<std::unique_ptr<store::PascalRows>> tables;
    for (const auto& language : languages.items)
        tables.push_back(std::make_unique<store::PascalRows>(folder, project, language));
    return tables;
}

}  // namespace

std::string LineExcerpt(std::string_view line) {
    if (line.size() <= kExcerptLength) return std::string(line);
    // Units may be kept in UTF-8: the cut goes before a character's continuation bytes (in an
    // 8-bit code page that only makes it up to three bytes shorter).
    size_t cut = kExcerptLength;
    for (int back = 0; back < 3 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80; ++back)
        --cut;
    return std::string(line.substr(0, cut)) + "...";
}

ProjectCodeTables::ProjectCodeTables(const store::TableFolder& folder, const std::string& project,
                                     const LanguageList& languages)
    : journal(folder, project),
      pascal(EveryLanguage(folder, project, languages)),
      selected_index(languages.has_selection() ? static_cast<size_t>(languages.selected) : 0),
      units(folder, project) {}

RestoreReport RestoreCode(ProjectCodeTables& tables, const RestoreSelection& selection,
                          Reporter& reporter) {
    RestoreReport report;
    CodeRestorer restorer(tables);
    const std::vector<UnitWork> work = restorer.Resolve(selection);
    std::vector<std::string> paths;
    for (const auto& unit : work) paths.push_back(unit.unit.path);
    sweep_temporary_files_beside(paths);  // leftovers of a killed run
    for (size_t i = 0; i < work.size(); ++i) {
        reporter.progress(static_cast<int>(i), static_cast<int>(work.size()), work[i].unit.path);
        reporter.still_working();
        try {
            restorer.Restore(work[i], report);
        } catch (const std::exception& e) {
            report.failed.emplace_back(work[i].unit.path, e.what());
        }
    }
    reporter.progress(static_cast<int>(work.size()), static_cast<int>(work.size()), "");
    restorer.Flush();
    return report;
}

}  // namespace lexorin::code
