#pragma once

#include <string>

#include "base/code_page.h"
#include "base/reporter.h"
#include "project/po_exchange.h"
#include "store/string_tables.h"

// The PO exchange of the test projects' Demo/German tables, opened for one exchange each.
namespace lexorin::testing {

inline project::PoExportResult ExportGerman(const store::TableFolder& folder, const std::string& po,
                                            const CodePage& code_page, Reporter& reporter) {
    store::LanguageTables tables(folder, "Demo", "German");
    return project::ExportPo(tables, po, code_page, reporter);
}

inline project::PoImportResult ImportGerman(const store::TableFolder& folder, const std::string& po,
                                            const CodePage& code_page, Reporter& reporter) {
    store::LanguageTables tables(folder, "Demo", "German");
    return project::ImportPo(tables, po, code_page, reporter);
}

}  // namespace lexorin::testing
