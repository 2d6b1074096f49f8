#pragma once

// One Lazarus program localised by lexorin-cli alone, as the Lazarus examples tests take each:
// added (its kind detected), scanned, every row translated into German through a PO file, code
// and forms written. Header-only: it runs the lexorin-cli that each test program is built with.

#include <string>

#include "cli/cli_fixture.h"
#include "corpus/mechanical_translation.h"
#include "support/test_support.h"

namespace lexorin::corpus {

// What a German translator would type before each text: umlauts included, in UTF-8 as PO files
// carry them.
inline constexpr const char* kTranslationPrefix = "DE \xc3\x84rger ";

struct Localisation {
    std::string project;  // the project's name
    std::string shown;    // `project show`, with the kind found
    int rows = 0;         // the rows translated
};

// Localises the program in the folder `name` of `work` as the project "Lz_" + `name` in German;
// its PO file stays as `name`.po in `work`. A command that fails raises, naming it.
inline Localisation LocaliseWithCli(const lexorin::testing::TempDir& work,
                                    const std::string& name) {
    using lexorin::testing::run_cli_or_throw;
    Localisation done;
    done.project = "Lz_" + name;
    run_cli_or_throw(work, "project add " + done.project + " " + name);
    done.shown = run_cli_or_throw(work, "project show " + done.project).out;
    run_cli_or_throw(work, "language add " + done.project + " German");
    run_cli_or_throw(work, "--yes scan-code " + done.project + " German");
    run_cli_or_throw(work, "scan-forms " + done.project + " German");
    const std::string po = work.file(name + ".po");
    run_cli_or_throw(work, "export-po " + done.project + " German '" + po + "'");
    const MechanicalTranslation translation =
        TranslateMechanically(lexorin::testing::read_test_file(po), kTranslationPrefix);
    done.rows = translation.entries;
    lexorin::testing::write_test_file(po, translation.po);
    run_cli_or_throw(work, "import-po " + done.project + " German '" + po + "'");
    run_cli_or_throw(work, "write-code " + done.project + " German");
    run_cli_or_throw(work, "write-forms " + done.project + " German");
    return done;
}

}  // namespace lexorin::corpus
