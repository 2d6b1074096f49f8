#include "store/transcopy.h"

#include "base/errors.h"
#include "base/file_utils.h"
#include "store/table_files.h"
#include "store/translation_fields.h"

namespace lexorin::store {

void CopyTableFile(Session& session, const std::string& source_directory,
                   const std::string& source_name, const std::string& destination_directory,
                   const std::string& destination_name) {
    std::string source = source_directory + "/" + source_name;
    std::string destination = destination_directory + "/" + destination_name;
    try {
        std::string found = find_file_no_case(source_directory, source_name);
        copy_table(session, join_path(source_directory, found.empty() ? source_name : found),
                   join_path(destination_directory, destination_name));
    } catch (const StoreError& e) {
        throw StoreError("While copying " + source + " to " + destination + ", the " +
                         " database engine   generated the error '" + e.what() + "'");
    }
}

void Ttranscopy::OpenTables() {
    in_ = std::make_unique<Table>(session_, path, intablename);
    out_ = std::make_unique<Table>(session_, path, outtablename);
}

void Ttranscopy::CloseTables() {
    if (out_) out_->flush();
    in_.reset();
    out_.reset();
}

void Ttranscopy::pump() const {
    if (StatusBar) StatusBar->process_events();
}

void Ttranscopy::copy_rows(bool forms) {
    if (!in_ || !out_) throw Error("The row copier has no tables: call OpenTables first");
    in_->open();
    out_->open();
    for (in_->first(); !in_->eof(); in_->next()) {
        pump();
        if (out_->find_key({in_->integer(field::Index)})) continue;
        if (forms) {
            out_->append_record({0, in_->text(field::OriginalString), "",
                                 in_->integer(field::UnitName), false, false,
                                 in_->text(field::Object), in_->text(field::Property), false,
                                 in_->integer(field::SpacesAtEnd)});
        } else {
            out_->append_record(
                {0, in_->text(field::OriginalString), "", in_->integer(field::UnitName), false,
                 false, in_->text(field::Context), in_->integer(field::NewLine),
                 in_->integer(field::OriginalLine), in_->integer(field::SpacesAtEnd)});
        }
    }
    out_->flush();
}

void Ttranscopy::CopyFormsRows() {
    copy_rows(true);
}
void Ttranscopy::CopyPascalRows() {
    copy_rows(false);
}

StringCounts Ttranscopy::CountStrings() {
    StringCounts counts;
    if (!in_ || !out_) throw Error("The row copier has no tables: call OpenTables first");
    auto count = [&](Table& table, int& rows, int& untranslated) {
        table.open();
        for (table.first(); !table.eof(); table.next()) {
            pump();
            ++rows;
            if (table.text(field::TranslateString).empty() && !table.logical(field::Translated) &&
                !table.logical(field::Ignore))
                ++untranslated;
        }
    };
    count(*in_, counts.source_rows, counts.source_untranslated);
    count(*out_, counts.destination_rows, counts.destination_untranslated);
    return counts;
}

void CopyRows(Session& session, const std::string& path, const std::string& from,
              const std::string& to, TableKind kind, Reporter* reporter) {
    Ttranscopy copier(session);
    copier.StatusBar = reporter;
    copier.intablename = from;
    copier.outtablename = to;
    copier.path = path;
    copier.OpenTables();
    if (kind == TableKind::Forms)
        copier.CopyFormsRows();
    else
        copier.CopyPascalRows();
    copier.CloseTables();
}

void RequireWritableTables(TDaten& daten, const std::string& project,
                           const std::vector<std::string>& languages, TableKind kind) {
    std::vector<std::pair<std::string, TableKind>> tables;
    for (const auto& language : languages)
        tables.emplace_back(table_file_name(project, language, kind), kind);
    const TableKind files = kind == TableKind::Forms ? TableKind::Units : TableKind::PasFiles;
    tables.emplace_back(table_file_name(project, "", files), files);
    for (const auto& [name, table_kind] : tables) {
        upgrade_table(daten.session(), daten.program_directory(), name, table_kind);
        Table table(daten.session(), daten.program_directory(), name);
        table.open();  // names a missing, foreign or broken file
        check_schema(table, schema_for(table_kind));
        require_writable_file(table.path(), "The table");
    }
}

void CopyToOtherLanguages(TDaten& daten, Table& scanned, const std::string& project,
                          const std::vector<std::string>& languages, TableKind kind,
                          const std::string& status, Reporter& reporter) {
    const std::string source = scanned.table_name();
    scanned.close();
    for (const auto& language : languages) {
        reporter.status(status + language);
        const std::string target = table_file_name(project, language, kind);
        if (target != source)
            CopyRows(daten.session(), daten.program_directory(), source, target, kind, &reporter);
    }
    reporter.status("");
    scanned.open();
}

}  // namespace lexorin::store
