#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/errors.h"
#include "base/reporter.h"
#include "forms/form_scanner.h"
#include "store/held_tables.h"
#include "store/language_copies.h"
#include "store/scan_batch_journal.h"
#include "store/string_tables.h"

// A form scan's rows, committed many forms at a time. Each form's rows go to the scanned
// language's forms table, the form to the project's form files and its new rows to every other
// language's forms table at once, and are written out (uncommitted) before the next form; when
// the batch is full, every table commits, under the scan's batch journal: a few disk syncs per
// batch instead of several per form. A batch whose rows cannot be written or committed (a full
// disk) is taken back, which frees the room it took, and its forms are stored again: when a
// form's rows did not fit, the forms before it (which fitted a moment ago) as one unit and then
// that form alone; when the commit failed, one form per commit. So the scan stops at the very
// form that did not fit, with every form before it stored; a killed scan leaves every table as
// before the running batch's first form (the next command takes back what was committed).
namespace lexorin::forms {

// The tables a form scan writes, and the journal that guards their commits. Not owned.
struct FormScanTables {
    store::FormRows& strings;                   // the scanned language's
    store::FormFiles& form_files;               // the project's
    std::vector<store::LanguageTable>& others;  // the other languages' forms tables, open
    store::ScanBatchJournal& journal;
};

// The tables could not take the rows of the form numbered `form` (its place in the scan's list):
// the scan ends there. The tables of every language are as before that form, or the journal
// stays and the next command takes them back to where they stood before it.
class FormScanStopped : public StoreError {
  public:
    FormScanStopped(std::size_t form, const std::string& reason) : StoreError(reason), form(form) {}
    std::size_t form;
};

class FormScanBatch {
  public:
    // `size`: how many forms a batch holds before it is committed; 1 commits every form alone.
    FormScanBatch(FormStringScanner& scanner, FormScanTables tables, Reporter& reporter,
                  std::size_t size);
    // A batch not committed yet is rolled back: its forms were never stored.
    ~FormScanBatch();
    FormScanBatch(const FormScanBatch&) = delete;
    FormScanBatch& operator=(const FormScanBatch&) = delete;

    // Stores the strings `found` of the form at `path` (FormStringScanner::Find), numbered `form`
    // in the scan's list, in the running batch, and commits the batch when it is full. Raises
    // FormScanStopped when the tables cannot take some form's rows.
    void Add(std::size_t form, const std::string& path, std::vector<FormString> found);
    // Commits the running batch; call after the last Add. Raises as Add does.
    void Commit();

    // The forms stored for good (committed) so far, and their strings.
    int forms_stored() const { return forms_stored_; }
    int strings_stored() const { return strings_stored_; }
    // Forms whose rows failed for another reason than the tables, by number, with the reason:
    // they added no rows and the scan went on.
    const std::vector<std::pair<std::size_t, std::string>>& skipped() const { return skipped_; }

  private:
    struct PendingForm {
        std::size_t number;
        std::string path;
        std::vector<FormString> found;
        int strings = 0;
    };

    // The tables of a unit of work, the scanned language's last (its rows are also changed,
    // which only a rollback takes back).
    std::unique_ptr<store::HeldTables> Hold();
    // Rolls back a unit not committed and ends its journal. Never raises.
    void TakeBack(std::unique_ptr<store::HeldTables>& held) noexcept;
    // One form's rows in the unit `held`, copied to the other languages; the journal is begun
    // before the unit's first new rows.
    void StoreForm(store::HeldTables& held, PendingForm& form);
    // Commits `held` and ends the journal. On failure every table is taken back (false, with
    // the `reason`), or the journal stays for the next command and FormScanStopped(`first`) is
    // raised.
    bool CommitHeld(store::HeldTables& held, std::size_t first, std::string& reason);
    // `forms` as one unit of work; when that fails, one form per commit.
    void StoreRun(std::vector<PendingForm>& forms);
    // One form as a unit of work: a failure of the tables raises FormScanStopped, any other
    // skips the form.
    void StoreAlone(PendingForm& form);
    void Stored(const PendingForm& form);

    FormStringScanner& scanner_;
    FormScanTables tables_;
    Reporter& reporter_;
    std::size_t size_;
    std::unique_ptr<store::HeldTables> held_;  // the running batch's unit of work
    std::vector<PendingForm> pending_;
    int forms_stored_ = 0;
    int strings_stored_ = 0;
    std::vector<std::pair<std::size_t, std::string>> skipped_;
};

}  // namespace lexorin::forms
