#include "forms/form_scan_batch.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "codec/form_errors.h"
#include "store/table_store.h"
#include "store/transcopy.h"
#include "store/translation_fields.h"

namespace lexorin::forms {

namespace {

// The copies of new rows in the other languages start with no Ignore flag (an unwanted string
// is a choice of one language); a string of a non-text property is no text in any language.
void IgnoreNonTextCopies(std::vector<store::LanguageTable>& others, std::int64_t after,
                         const std::vector<std::string>& non_text_properties) {
    if (non_text_properties.empty()) return;
    for (auto& other : others) {
        store::Table& rows = *other.table;
        rows.set_index_name("");
        const std::vector<std::int64_t> ids = rows.visible_row_ids();
        for (auto id = std::upper_bound(ids.begin(), ids.end(), after); id != ids.end(); ++id) {
            if (!rows.find_key({*id})) continue;
            if (rows.logical(store::field::Ignore) ||
                !IsNonTextProperty(rows.text(store::field::Property), non_text_properties))
                continue;
            rows.edit();
            rows.set_logical(store::field::Ignore, true);
            rows.post();
        }
    }
}

}  // namespace

FormScanBatch::FormScanBatch(FormStringScanner& scanner, FormScanTables tables, Reporter& reporter,
                             std::size_t size)
    : scanner_(scanner),
      tables_(tables),
      reporter_(reporter),
      size_(std::max<std::size_t>(size, 1)) {}

FormScanBatch::~FormScanBatch() {
    TakeBack(held_);
}

std::unique_ptr<store::HeldTables> FormScanBatch::Hold() {
    std::vector<store::Table*> tables = store::TablesOf(tables_.others);
    tables.push_back(&tables_.form_files.table());
    tables.push_back(&tables_.strings.table());
    return std::make_unique<store::HeldTables>(tables);
}

void FormScanBatch::TakeBack(std::unique_ptr<store::HeldTables>& held) noexcept {
    if (held) held->Rollback();
    tables_.journal.Settle(!held || held->restored());
    held.reset();
}

void FormScanBatch::StoreForm(store::HeldTables& held, PendingForm& form) {
    store::Table& scanned = tables_.strings.table();
    const std::int64_t after = scanned.last_key_number();
    form.strings = scanner_.Store(form.found, form.path);
    if (scanned.last_key_number() > after && !tables_.others.empty()) {
        store::CopyNewRows(scanned, tables_.others, after, store::TableKind::Forms, "", reporter_);
        IgnoreNonTextCopies(tables_.others, after, scanner_.filters().non_text_properties);
    }
    // The files are committed one by one: a run killed between them is taken back by the next
    // command, to where every table stood before the unit. That is written down before the
    // unit's first rows reach the files, so the journal's room is taken with theirs.
    store::ScanBatchJournal& journal = tables_.journal;
    if (!journal.open() && held.Appended()) {
        std::vector<store::TableMark> marks;
        for (const auto& mark : held.marks()) marks.push_back({mark.table_name, mark.last_number});
        journal.Begin(std::move(marks));
    }
}

bool FormScanBatch::CommitHeld(store::HeldTables& held, std::size_t first, std::string& reason) {
    store::ScanBatchJournal& journal = tables_.journal;
    try {
        held.Commit();
    } catch (const std::exception& e) {
        held.Rollback();
        journal.Settle(held.restored());
        if (!held.restored()) throw FormScanStopped(first, e.what());
        reason = e.what();
        return false;
    }
    try {
        if (journal.open()) journal.End();
    } catch (const std::exception& e) {
        // The journal stays, and the next command takes the unit back.
        journal.Keep();
        throw FormScanStopped(first, e.what());
    }
    return true;
}

void FormScanBatch::Stored(const PendingForm& form) {
    ++forms_stored_;
    strings_stored_ += form.strings;
}

void FormScanBatch::Add(std::size_t form, const std::string& path, std::vector<FormString> found) {
    pending_.push_back({form, path, std::move(found)});
    try {
        if (!held_) held_ = Hold();
        StoreForm(*held_, pending_.back());
        // The form's rows take their room on the disk now: a full disk fails at this form.
        held_->WriteOut();
    } catch (const std::exception&) {
        // Nothing of the batch was committed: taking it back leaves every table as before its
        // first form and frees the room its rows took. The forms before this one fitted in
        // that room a moment ago: they are stored again as one unit, then this one alone,
        // whose failure ends the scan.
        TakeBack(held_);
        std::vector<PendingForm> forms = std::exchange(pending_, {});
        PendingForm failed = std::move(forms.back());
        forms.pop_back();
        StoreRun(forms);
        StoreAlone(failed);
        return;
    }
    if (pending_.size() >= size_) Commit();
}

void FormScanBatch::Commit() {
    if (!held_) return;
    std::unique_ptr<store::HeldTables> held = std::move(held_);
    std::vector<PendingForm> forms = std::exchange(pending_, {});
    std::string reason;
    if (!CommitHeld(*held, forms.front().number, reason)) {
        // Taken back whole: which form did not fit is found one form per commit.
        for (PendingForm& form : forms) StoreAlone(form);
        return;
    }
    for (const PendingForm& form : forms) Stored(form);
}

void FormScanBatch::StoreRun(std::vector<PendingForm>& forms) {
    if (forms.empty()) return;
    std::unique_ptr<store::HeldTables> held;
    try {
        held = Hold();
        for (PendingForm& form : forms) {
            StoreForm(*held, form);
            held->WriteOut();
        }
    } catch (const std::exception&) {
        TakeBack(held);
        for (PendingForm& form : forms) StoreAlone(form);
        return;
    }
    std::string reason;
    if (!CommitHeld(*held, forms.front().number, reason)) {
        for (PendingForm& form : forms) StoreAlone(form);
        return;
    }
    for (const PendingForm& form : forms) Stored(form);
}

void FormScanBatch::StoreAlone(PendingForm& form) {
    std::unique_ptr<store::HeldTables> held;
    try {
        held = Hold();
        StoreForm(*held, form);
    } catch (const StoreError& e) {
        // The tables cannot take this form (a full disk): the forms after it would fare no
        // better.
        TakeBack(held);
        throw FormScanStopped(form.number, e.what());
    } catch (const std::exception& e) {
        TakeBack(held);
        skipped_.emplace_back(form.number, codec::FormFailureReason(e));
        return;
    }
    std::string reason;
    if (!CommitHeld(*held, form.number, reason)) throw FormScanStopped(form.number, reason);
    Stored(form);
}

}  // namespace lexorin::forms
