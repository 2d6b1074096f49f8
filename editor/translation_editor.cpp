#include "editor/translation_editor.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelection>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QShortcut>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <unordered_set>

#include "base/errors.h"
#include "base/text_qt.h"
#include "base/text_utils.h"
#include "editor/editor_filter.h"
#include "editor/editor_memory.h"
#include "editor/editor_panel.h"
#include "editor/find_bar.h"
#include "editor/locate_dialog.h"
#include "editor/memory_suggestions.h"
#include "editor/post_command.h"
#include "editor/post_rules.h"
#include "editor/result_filter.h"
#include "editor/row_text.h"
#include "editor/string_grid.h"
#include "editor/string_model_qt.h"
#include "editor/typed_checks.h"
#include "project/memory_feed.h"
#include "project/project_lock.h"
#include "project/spelling.h"
#include "project/translation_checks.h"
#include "store/translation_tables.h"

namespace lexorin::gui {

namespace {

// The original and the translation side by side, then the flags; the two texts share what the
// flags leave of the grid's width.
std::vector<GridColumn> code_columns() {
    return {{store::field::OriginalString, "Original string", 40, false, false, true},
            {store::field::TranslateString, "Translation", 40, false, false, true},
            {store::field::Ignore, "Ignore?", 7, true, true},
            {store::field::Translated, "Translated?", 11, true, true},
            {store::field::NeedsReview, "Review?", 7, true, true},
            {store::field::NewLine, "Line number", 5, false, false}};
}

std::vector<GridColumn> forms_columns() {
    return {{store::field::OriginalString, "OriginalString", 40, false, false},
            {store::field::TranslateString, "TranslateString", 40, false, false},
            {store::field::Translated, "Translated", 6, true, true},
            {store::field::Ignore, "Ignore", 6, true, true},
            {store::field::Changed, "Changed", 6, true, true},
            {store::field::NeedsReview, "NeedsReview", 6, true, true}};
}

constexpr int kSuggestionsShown = 5;

// Where the file list keeps a file's key and name.
constexpr int kFileKeyRole = Qt::UserRole;
constexpr int kFileNameRole = Qt::UserRole + 1;

QString file_item_text(const QString& name, const editor::FileProgress& progress) {
    return QString("%1 - %2").arg(name, QString::fromStdString(editor::ProgressText(progress)));
}

// "1  100%  Nicht  (Demo)": a suggestion on one line.
QString suggestion_line(int number, const store::Suggestion& s) {
    QString text = QString::fromUtf8(s.translation);
    text.replace("\r\n", QString(QChar(0x21B5)));
    text.replace('\r', QChar(0x21B5));
    text.replace('\n', QChar(0x21B5));
    QString line = QString("%1  %2%  %3").arg(number).arg(s.similarity).arg(text);
    if (!s.project.empty()) line += QString("  (%1)").arg(QString::fromUtf8(s.project));
    return line;
}

// The findings of the translation checks for the current row of a table: none for ignored and
// untranslated rows.
std::vector<project::CheckFinding> findings_of(const store::Table& row, bool code) {
    if (row.logical(store::field::Ignore) || row.text(store::field::TranslateString).empty())
        return {};
    std::string blanks = project::spaces_at_end(row);
    std::string original = row.text(store::field::OriginalString) + blanks;
    std::string translation = row.text(store::field::TranslateString) + blanks;
    return code ? project::CheckCodeTranslation(original, translation)
                : project::CheckTranslation(original, translation);
}

}  // namespace

TranslationEditor::TranslationEditor(store::Session& session, const EditorTables& tables,
                                     std::optional<bool> code_mode_at_start, int context_lines,
                                     QWidget* parent, QSettings* memory)
    : QDialog(parent),
      code_strings_(store::TableFolder{session, tables.directory}, store::TableFile{tables.code}),
      form_strings_(store::TableFolder{session, tables.directory}, store::TableFile{tables.forms}),
      form_files_(store::TableFolder{session, tables.directory}, store::TableFile{tables.units}),
      code_files_(store::TableFolder{session, tables.directory}, store::TableFile{tables.files}),
      context_lines_(context_lines),
      directory_(tables.directory),
      project_(tables.project),
      language_(tables.language),
      memory_(memory),
      suggestion_source_(
          std::make_unique<editor::MemorySuggestions>(tables.directory, tables.language)),
      speller_(std::make_unique<project::SpellChecker>(
          window_code_page().to_utf8(tables.language),
          // No language, no dictionary: the checker is off.
          tables.language.empty() ? std::vector<std::string>{}
                                  : project::SpellChecker::DefaultDictionaryFolders())) {
    // The project and language edited, so that two editors or a restart are not confused.
    QString title = "Translation Editor";
    if (!tables.project.empty()) title += " - " + to_q(tables.project);
    if (!tables.language.empty()) title += " - " + to_q(tables.language);
    setWindowTitle(title);
    build();
    if (!tables.project.empty())
        project_language_label->setText(
            QString("Project %1, language %2").arg(to_q(tables.project), to_q(tables.language)));
    EditorMemory remembered;
    if (memory_) remembered = read_editor_memory(*memory_);
    if (remembered.size) resize(*remembered.size);
    no_ignored_check->setChecked(remembered.no_ignored);
    not_translated_check->setChecked(remembered.not_translated);
    problems_only_check->setChecked(remembered.problems_only);
    {
        QSignalBlocker quiet(state_combo);  // start_in_mode filters once, with everything set
        state_combo->setCurrentIndex(
            static_cast<int>(editor::state_filter_from_key(remembered.state)));
    }
    state_index_ = state_combo->currentIndex();
    remembered_file_ = remembered.file;
    start_in_mode(code_mode_at_start.value_or(remembered.code_mode.value_or(true)),
                  remembered.changed_only);
}

TranslationEditor::~TranslationEditor() = default;

QPlainTextEdit* TranslationEditor::current_box() const {
    return current_panel()->translation;
}

QListWidget* TranslationEditor::current_suggestions() const {
    return current_panel()->suggestions;
}

QLabel* TranslationEditor::current_memory_note() const {
    return current_panel()->memory_note;
}

QListWidget* TranslationEditor::current_checks() const {
    return current_panel()->checks;
}

void TranslationEditor::build() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 0);

    // The bar: mode buttons, filters and Close.
    auto* bar = new QHBoxLayout;
    code_mode_button = new QToolButton(this);
    code_mode_button->setText("Code");
    forms_mode_button = new QToolButton(this);
    forms_mode_button->setText("Forms");
    auto* modes = new QButtonGroup(this);
    for (auto* b : {code_mode_button, forms_mode_button}) {
        b->setCheckable(true);
        b->setMinimumWidth(60);
        modes->addButton(b);
        bar->addWidget(b);
    }
    modes->setExclusive(true);
    code_mode_button->setChecked(true);
    no_ignored_check = new QCheckBox("No &ignored", this);
    not_translated_check = new QCheckBox("Not &translated only", this);
    changed_only_check = new QCheckBox("C&hanged only", this);
    problems_only_check = new QCheckBox("With &problems only", this);
    changed_only_check->hide();
    bar->addSpacing(16);
    for (auto* c :
         {no_ignored_check, not_translated_check, changed_only_check, problems_only_check}) {
        bar->addWidget(c);
        connect(c, &QCheckBox::clicked, this, &TranslationEditor::apply_filters);
    }
    bar->addStretch();
    close_button = new QPushButton("&Close", this);
    bar->addWidget(close_button);
    connect(close_button, &QPushButton::clicked, this, &QDialog::accept);
    connect(code_mode_button, &QToolButton::clicked, this, &TranslationEditor::switch_mode);
    connect(forms_mode_button, &QToolButton::clicked, this, &TranslationEditor::switch_mode);
    layout->addLayout(bar);

    // The second bar: the file and the state worked on.
    auto* lists = new QHBoxLayout;
    auto* file_label = new QLabel("&File:", this);
    file_combo = new QComboBox(this);
    file_combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    file_combo->setMinimumContentsLength(24);
    file_label->setBuddy(file_combo);
    auto* state_label = new QLabel("&State:", this);
    state_combo = new QComboBox(this);
    state_combo->addItems({"All", "Untranslated", "Needs review", "Problems"});
    state_label->setBuddy(state_combo);
    for (QWidget* w :
         std::initializer_list<QWidget*>{file_label, file_combo, state_label, state_combo})
        lists->addWidget(w);
    lists->addStretch();
    for (QComboBox* list : {file_combo, state_combo})
        connect(list, &QComboBox::currentIndexChanged, this, &TranslationEditor::apply_filters);
    layout->addLayout(lists);

    // The grids.
    grids_ = new QStackedWidget(this);
    code_grid = new StringGrid(grids_);
    forms_grid = new StringGrid(grids_);
    code_model_ = new StringTableModel(code_strings_.table(), code_columns(), this);
    forms_model_ = new StringTableModel(form_strings_.table(), forms_columns(), this);
    for (bool code : {true, false})
        (code ? code_model_ : forms_model_)->mark = [code](const store::Table& row) {
            return findings_of(row, code).empty() ? QString() : QStringLiteral("(!)");
        };
    for (auto [grid, model] :
         {std::pair{code_grid, code_model_}, std::pair{forms_grid, forms_model_}}) {
        grid->setModel(model);
        grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
        grid->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
        grid->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        grid->setWordWrap(true);
        int column = 0;
        for (const auto& c : model->columns())
            grid->setColumnWidth(
                column++,
                std::max(c.width_chars * fontMetrics().averageCharWidth(),
                         grid->horizontalHeader()->fontMetrics().horizontalAdvance(c.title)) +
                    24);
        // The original's and the translation's columns take what the others leave of the
        // grid's width, so that the last header is not cut off.
        grid->horizontalHeader()->setStretchLastSection(false);
        grid->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
        grid->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
        grids_->addWidget(grid);
        grid->installEventFilter(this);
        connect(grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
                [this, grid = grid](const QModelIndex& current, const QModelIndex&) {
                    if (grid == current_grid()) current_row_changed(current.row());
                });
        connect(model, &StringTableModel::toggled, this,
                [this, model = model](int row, const QString& field, bool checked) {
                    if (model != current_model()) return;
                    if (current_grid()->currentIndex().row() != row)
                        current_grid()->setCurrentIndex(model->index(row, 0));
                    // The review mark is no post: the rules would take it off again.
                    if (field == store::field::NeedsReview) {
                        if (shown_row_id_)
                            mark_rows({*shown_row_id_}, checked ? editor::RowMark::NeedsReview
                                                                : editor::RowMark::Reviewed);
                        return;
                    }
                    std::optional<bool> translated, ignore, changed;
                    if (field == store::field::Translated) translated = checked;
                    if (field == store::field::Ignore) ignore = checked;
                    if (field == store::field::Changed) changed = checked;
                    post_row(translated, ignore, changed);
                });
        connect(model, &QAbstractItemModel::modelReset, this, [this] { update_counts(); });
    }
    layout->addWidget(grids_, 1);
    find_bar = new FindBar(this);
    find_bar->hide();
    connect(find_bar, &FindBar::find, this, [this](bool forward) { find_from_bar(forward); });
    connect(find_bar, &FindBar::closed, this, [this] { current_grid()->setFocus(); });
    layout->addWidget(find_bar);

    // The detail panels.
    panels_ = new QStackedWidget(this);
    code_panel_ = new EditorPanel(EditorPanel::Mode::Code, context_lines_, this);
    panels_->addWidget(code_panel_);
    forms_panel_ = new EditorPanel(EditorPanel::Mode::Forms, context_lines_, this);
    panels_->addWidget(forms_panel_);
    code_translation_box = code_panel_->translation;
    code_unit_label = code_panel_->unit;
    code_original_box = code_panel_->original;
    context_view = code_panel_->context;
    forms_translation_box = forms_panel_->translation;
    forms_unit_label = forms_panel_->unit;
    forms_original_box = forms_panel_->original;
    object_label = forms_panel_->object;
    property_label = forms_panel_->property;
    for (EditorPanel* panel : {code_panel_, forms_panel_}) {
        connect(panel, &EditorPanel::display_font_clicked, this,
                &TranslationEditor::pick_display_font);
        connect(panel, &EditorPanel::translate_font_clicked, this,
                &TranslationEditor::pick_translation_font);
        connect(panel, &EditorPanel::search_clicked, this, &TranslationEditor::search);
    }
    panels_->setFixedHeight(253);
    layout->addWidget(panels_);

    status_bar = new QStatusBar(this);
    status_bar->setSizeGripEnabled(false);
    reporter_ = std::make_unique<QtReporter>(this, status_bar);
    project_language_label = new QLabel(status_bar);
    project_language_label->setContentsMargins(0, 0, 16, 0);
    status_bar->addPermanentWidget(project_language_label);
    file_progress_label = new QLabel(status_bar);
    file_progress_label->setContentsMargins(0, 0, 16, 0);
    status_bar->addPermanentWidget(file_progress_label);
    counts_ = new QLabel(status_bar);
    status_bar->addPermanentWidget(counts_);
    layout->addWidget(status_bar);

    auto* undo = new QShortcut(QKeySequence::Undo, this);
    connect(undo, &QShortcut::activated, this, &TranslationEditor::undo_last_post);
    for (auto* box : {code_translation_box, forms_translation_box}) box->installEventFilter(this);

    // The checks run when typing pauses; the progress is counted once after a post's rows.
    check_timer_ = new QTimer(this);
    check_timer_->setSingleShot(true);
    check_timer_->setInterval(250);
    connect(check_timer_, &QTimer::timeout, this, &TranslationEditor::check_typed);
    for (auto* box : {code_translation_box, forms_translation_box})
        connect(box, &QPlainTextEdit::textChanged, this, [this, box] {
            if (!loading_ && box == current_box()) check_timer_->start();
        });
    progress_timer_ = new QTimer(this);
    progress_timer_->setSingleShot(true);
    progress_timer_->setInterval(0);
    connect(progress_timer_, &QTimer::timeout, this, &TranslationEditor::refresh_progress);
    build_keys();
    resize(900, 640);
}

void TranslationEditor::build_keys() {
    const auto action = [this](const QString& text, const QList<QKeySequence>& keys) {
        auto* a = new QAction(text, this);
        a->setShortcuts(keys);
        a->setShortcutContext(Qt::WindowShortcut);
        addAction(a);
        return a;
    };
    ignore_action = action("&Ignore", {QKeySequence(Qt::CTRL | Qt::Key_I)});
    translated_action = action("Mark &translated", {QKeySequence(Qt::CTRL | Qt::Key_T)});
    not_translated_action =
        action("Mark &not translated", {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_T)});
    find_action = action("&Find ...", {QKeySequence(Qt::CTRL | Qt::Key_F)});
    find_next_action = action("Find &next", {QKeySequence(Qt::Key_F3)});
    find_previous_action = action("Find &previous", {QKeySequence(Qt::SHIFT | Qt::Key_F3)});
    review_action = action("Needs &review", {QKeySequence(Qt::CTRL | Qt::Key_R)});
    connect(review_action, &QAction::triggered, this, &TranslationEditor::toggle_review);
    for (int n = 1; n <= kSuggestionsShown; ++n) {
        QAction* take = action(QString("Take suggestion %1").arg(n),
                               {QKeySequence(Qt::CTRL | static_cast<Qt::Key>(Qt::Key_0 + n))});
        connect(take, &QAction::triggered, this, [this, n] { take_suggestion(n); });
        suggestion_actions.push_back(take);
    }
    connect(ignore_action, &QAction::triggered, this, &TranslationEditor::toggle_ignore);
    connect(translated_action, &QAction::triggered, this,
            [this] { mark_selected(editor::RowMark::Translated); });
    connect(not_translated_action, &QAction::triggered, this,
            [this] { mark_selected(editor::RowMark::NotTranslated); });
    connect(find_action, &QAction::triggered, this, &TranslationEditor::open_find_bar);
    connect(find_next_action, &QAction::triggered, this, &TranslationEditor::find_next);
    connect(find_previous_action, &QAction::triggered, this, &TranslationEditor::find_previous);
    for (QTableView* grid : {code_grid, forms_grid}) {
        grid->setContextMenuPolicy(Qt::ActionsContextMenu);
        grid->addActions({ignore_action, translated_action, not_translated_action, review_action});
    }
}

// ---- opening and the modes ----

void TranslationEditor::start_in_mode(bool code_mode_at_start, bool changed_only) {
    code_mode_ = true;
    // The editor opens on the mode that has rows: after a restart the last scan is not
    // known, and an empty grid with the focus on Close invites closing by Enter.
    if (code_strings_.record_count() == 0 && form_strings_.record_count() > 0)
        code_mode_at_start = false;
    if (form_strings_.record_count() == 0 && code_strings_.record_count() > 0)
        code_mode_at_start = true;
    if (!code_mode_at_start) {
        forms_mode_button->setChecked(true);
        switch_mode();
        if (changed_only) {
            changed_only_check->setChecked(true);
            apply_filters();
        }
    } else {
        show_mode();
        apply_filters();
    }
    current_grid()->setFocus();
}

void TranslationEditor::show_mode() {
    fill_file_list();
    grids_->setCurrentWidget(current_grid());
    panels_->setCurrentIndex(code_mode_ ? 0 : 1);
    if (current_model()->rowCount() > 0 && !current_grid()->currentIndex().isValid())
        current_grid()->setCurrentIndex(current_model()->index(0, 0));
    load_current_row();
}

void TranslationEditor::switch_mode() {
    if (!post_pending()) {
        // The mode stays, so that the typed text is not lost.
        (code_mode_ ? code_mode_button : forms_mode_button)->setChecked(true);
        keep_refused_row();
        return;
    }
    bool code = code_mode_button->isChecked();
    changed_only_check->setChecked(false);
    changed_only_check->setVisible(!code);
    code_mode_ = code;
    show_mode();
    apply_filters();
}

void TranslationEditor::apply_filters() {
    if (!post_pending()) {
        // The filter stays as it was, so that the typed text is not lost.
        if (auto* box = qobject_cast<QCheckBox*>(sender())) box->setChecked(!box->isChecked());
        for (auto [list, index] :
             {std::pair{file_combo, file_index_}, std::pair{state_combo, state_index_}})
            if (sender() == list) {
                QSignalBlocker quiet(list);
                list->setCurrentIndex(index);
            }
        keep_refused_row();
        return;
    }
    file_index_ = file_combo->currentIndex();
    state_index_ = state_combo->currentIndex();
    editor::EditorFilter filter;
    filter.no_ignored = no_ignored_check->isChecked();
    filter.changed_only = changed_only_check->isChecked();
    filter.not_translated = not_translated_check->isChecked();
    filter.state = static_cast<editor::StateFilter>(std::max(0, state_combo->currentIndex()));
    if (file_combo->currentIndex() > 0)
        filter.file = file_combo->currentData(kFileKeyRole).toLongLong();
    const std::string text = editor::FilterExpression(filter);
    const bool problems =
        problems_only_check->isChecked() || filter.state == editor::StateFilter::Problems;
    std::optional<std::int64_t> mark = shown_row_id_;
    int old_row = current_grid()->currentIndex().row();
    try {
        store::Table& table = current_table();
        table.set_filter(text);
        table.set_filtered(!text.empty());
        if (problems)
            table.set_accept_test([code = code_mode_](const store::Table& row) {
                return !findings_of(row, code).empty();
            });
        else
            table.set_accept_test(nullptr);
    } catch (const std::exception& e) {
        show_failure(this, e);
    }
    current_model()->refresh();
    select_row_id(mark.value_or(-1), std::max(0, old_row));
}

// ---- the current row ----

void TranslationEditor::select_row_id(std::int64_t row_id, int fallback_row) {
    StringTableModel* model = current_model();
    int row = row_id >= 0 ? model->row_of(row_id) : -1;
    if (row < 0) row = std::min(fallback_row, model->rowCount() - 1);
    loading_ = true;
    if (row >= 0) {
        current_grid()->setCurrentIndex(model->index(row, 0));
        current_grid()->scrollTo(model->index(row, 0));
    } else
        current_grid()->setCurrentIndex({});
    loading_ = false;
    load_current_row();
}

void TranslationEditor::current_row_changed(int row) {
    if (loading_) return;
    // Leaving a row with unposted changes posts them.
    if (shown_row_id_ && current_box()->toPlainText() != shown_translation_) {
        std::int64_t target = -1;
        if (current_model()->move_to(row)) target = current_table().row_id();
        if (!post_row({}, {}, {})) {
            keep_refused_row();
            return;
        }
        select_row_id(target, row);
        return;
    }
    load_current_row();
}

void TranslationEditor::load_current_row() {
    store::Table& table = current_table();
    int row = current_grid()->currentIndex().row();
    bool has_row = current_model()->move_to(row);
    shown_row_id_.reset();
    shown_original_.clear();
    shown_blanks_.clear();
    QString translation, unit;
    if (has_row) {
        shown_row_id_ = table.row_id();
        shown_original_ = table.text(store::field::OriginalString);
        shown_blanks_ = project::spaces_at_end(table);
        translation =
            to_q(editor::ShownText(table.text(store::field::TranslateString), code_mode_));
        store::Table& files = code_mode_ ? code_files_.table() : form_files_.table();
        if (files.find_key({table.integer(store::field::UnitName)}))
            unit = to_q(files.text(store::field::Directory));
    }
    loading_ = true;
    current_box()->setPlainText(translation);
    // As the box holds it: a line break may read back otherwise than it was set.
    shown_translation_ = current_box()->toPlainText();
    current_box()->setEnabled(has_row);
    loading_ = false;
    current_panel()->show_row(has_row ? &table : nullptr, unit);
    show_file_progress();
    update_counts();
    show_suggestions();
    check_timer_->stop();
    check_typed();
}

// ---- the help beside the box ----

void TranslationEditor::show_suggestions() {
    shown_suggestions_.clear();
    QStringList lines;
    QString note;
    if (shown_row_id_) {
        shown_suggestions_ = suggestion_source_->For(shown_original_, code_mode_,
                                                     window_code_page(), kSuggestionsShown);
        for (size_t i = 0; i < shown_suggestions_.size(); ++i)
            lines << suggestion_line(static_cast<int>(i) + 1, shown_suggestions_[i]);
        note = QString::fromUtf8(suggestion_source_->note());
        if (lines.isEmpty() && note.isEmpty()) note = "No suggestions.";
    }
    current_panel()->show_suggestions(lines, note);
}

void TranslationEditor::take_suggestion(int number) {
    if (!shown_row_id_ || number < 1 || number > static_cast<int>(shown_suggestions_.size()))
        return;
    QPlainTextEdit* box = current_box();
    box->setPlainText(
        QString::fromUtf8(shown_suggestions_[static_cast<size_t>(number - 1)].translation));
    box->moveCursor(QTextCursor::End);
    box->setFocus();
}

void TranslationEditor::check_typed() {
    QStringList lines;
    if (shown_row_id_) {
        const QString shown = current_box()->toPlainText();
        try {
            const std::string typed =
                editor::StoredText(from_q(shown), code_mode_, shown_original_);
            const auto checks =
                editor::CheckTyped(shown_original_, typed, shown_blanks_, code_mode_, *speller_,
                                   shown.toUtf8().toStdString());
            for (const auto& line : editor::CheckLines(checks)) lines << QString::fromUtf8(line);
        } catch (const std::exception& e) {
            lines << QString::fromUtf8(e.what());  // a character the post would refuse
        }
    }
    current_panel()->show_checks(lines);
}

// ---- the files and their progress ----

void TranslationEditor::fill_file_list() {
    progress_.clear();
    QSignalBlocker quiet(file_combo);
    file_combo->clear();
    file_combo->addItem("All files", QVariant::fromValue<qlonglong>(-1));
    try {
        progress_ = editor::ProgressByFile(current_table());
        store::Table& files = code_mode_ ? code_files_.table() : form_files_.table();
        if (files.is_open()) {
            for (files.first(); !files.eof(); files.next()) {
                const std::string name = files.text(store::field::UnitName);
                const auto found = progress_.find(files.integer(store::field::Index));
                // Only the files that have rows here.
                if (editor::IsShowAllRow(name) || found == progress_.end()) continue;
                file_combo->addItem(file_item_text(to_q(name), found->second));
                const int at = file_combo->count() - 1;
                file_combo->setItemData(at, QVariant::fromValue<qlonglong>(found->first),
                                        kFileKeyRole);
                file_combo->setItemData(at, to_q(name), kFileNameRole);
            }
        }
    } catch (const std::exception& e) {
        reporter().warning(e.what());
    }
    int chosen = 0;
    if (!remembered_file_.isEmpty()) {
        chosen = std::max(0, file_combo->findData(remembered_file_, kFileNameRole));
        remembered_file_.clear();
    }
    file_combo->setCurrentIndex(chosen);
    file_index_ = chosen;
}

void TranslationEditor::schedule_progress() {
    progress_timer_->start();
}

void TranslationEditor::refresh_progress() {
    progress_timer_->stop();
    try {
        progress_ = editor::ProgressByFile(current_table());
    } catch (const std::exception& e) {
        reporter().status(e.what());  // the counts are a help: no box over the typing
        return;
    }
    for (int i = 1; i < file_combo->count(); ++i) {
        const auto found = progress_.find(file_combo->itemData(i, kFileKeyRole).toLongLong());
        file_combo->setItemText(
            i, file_item_text(file_combo->itemData(i, kFileNameRole).toString(),
                              found == progress_.end() ? editor::FileProgress{} : found->second));
    }
    show_file_progress();
}

void TranslationEditor::show_file_progress() {
    file_progress_label->clear();
    if (!shown_row_id_) return;
    store::Table& table = current_table();
    if (!table.find_key({*shown_row_id_})) return;
    const std::int64_t file = table.integer(store::field::UnitName);
    const int item = file_combo->findData(QVariant::fromValue<qlonglong>(file), kFileKeyRole);
    const auto found = progress_.find(file);
    if (item < 0 || found == progress_.end()) return;
    file_progress_label->setText(
        QString("%1: %2").arg(file_combo->itemData(item, kFileNameRole).toString(),
                              QString::fromStdString(editor::ProgressText(found->second))));
}

QString TranslationEditor::file_progress_text() const {
    return file_progress_label->text();
}

// ---- posting ----

bool TranslationEditor::post_pending() {
    if (shown_row_id_ && current_box()->toPlainText() != shown_translation_)
        return post_row({}, {}, {});
    return true;
}

void TranslationEditor::keep_refused_row() {
    StringTableModel* model = current_model();
    int row = shown_row_id_ ? model->row_of(*shown_row_id_) : -1;
    if (row >= 0) {
        loading_ = true;
        current_grid()->setCurrentIndex(model->index(row, 0));
        loading_ = false;
    }
    current_box()->setFocus();
}

bool TranslationEditor::post_row(const std::optional<bool> translated,
                                 const std::optional<bool> ignore,
                                 const std::optional<bool> changed) {
    if (!shown_row_id_) return true;
    store::Table& table = current_table();
    int old_row = current_grid()->currentIndex().row();
    std::int64_t row_id = *shown_row_id_;
    try {
        bool code = code_mode_;
        std::string typed =
            editor::StoredText(from_q(current_box()->toPlainText()), code, shown_original_);
        // A post changes the project's tables: not while another command holds them.
        std::optional<ProjectLock> lock;
        if (!project_.empty()) lock.emplace(directory_, project_);
        // The typed text, and the flag a click in the grid set; the other flags keep the row's
        // values.
        editor::RowState edit = stored_row(table, row_id);
        edit.translation = std::move(typed);
        edit.translated = translated.value_or(edit.translated);
        edit.ignore = ignore.value_or(edit.ignore);
        edit.changed = changed.value_or(edit.changed);
        undo_.push(PostCommand::post(table, edit, current_strings().kind(), reporter(),
                                     refresher(code), place_of())
                       .release());
        // The post feeds the translation memory; a memory that fails warns once, then in the
        // status bar, and the post stands.
        if (!project_.empty()) {
            try {
                project::RecordRowInMemory(table, row_id, code, project_, language_,
                                           window_code_page());
            } catch (const std::exception& e) {
                if (memory_warned_)
                    reporter().status(e.what());
                else
                    reporter().warning(e.what());
                memory_warned_ = true;
            }
        }
    } catch (const std::exception& e) {
        show_failure(this, e);
        return false;
    }
    shown_row_id_.reset();
    current_model()->refresh();
    select_row_id(row_id, old_row);
    schedule_progress();
    return true;
}

std::function<void()> TranslationEditor::refresher(bool code) {
    return [this, code] {
        (code ? code_model_ : forms_model_)->refresh();
        select_row_id(shown_row_id_.value_or(-1), current_grid()->currentIndex().row());
        schedule_progress();
    };
}

editor::PlaceOf TranslationEditor::place_of() {
    store::Table& files = code_mode_ ? code_files_.table() : form_files_.table();
    return [&files](const store::Table& row) {
        std::string place = editor::DefaultPlace(row);
        if (files.is_open() && files.find_key({row.integer(store::field::UnitName)}))
            place = files.text(store::field::UnitName) + ", " + place;
        return place;
    };
}

// ---- marks on many rows ----

std::vector<std::int64_t> TranslationEditor::selected_row_ids() {
    std::vector<std::int64_t> ids;
    const auto& visible = current_table().visible_row_ids();
    QModelIndexList rows = current_grid()->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    for (const QModelIndex& index : rows)
        if (index.row() < static_cast<int>(visible.size()))
            ids.push_back(visible[static_cast<size_t>(index.row())]);
    if (ids.empty() && shown_row_id_) ids.push_back(*shown_row_id_);
    return ids;
}

void TranslationEditor::toggle_ignore() {
    if (!post_pending()) {
        keep_refused_row();
        return;
    }
    const std::vector<std::int64_t> ids = selected_row_ids();
    try {
        if (ids.size() > 1) {
            bool all_ignored = true;
            for (std::int64_t id : ids)
                all_ignored = all_ignored && stored_row(current_table(), id).ignore;
            mark_selected(all_ignored ? editor::RowMark::NotIgnored : editor::RowMark::Ignore);
            return;
        }
        if (!shown_row_id_) return;
        // One row: as a click on its box, with the question about its equal rows.
        post_row({}, !stored_row(current_table(), *shown_row_id_).ignore, {});
    } catch (const std::exception& e) {
        show_failure(this, e);
    }
}

void TranslationEditor::toggle_review() {
    if (!post_pending()) {
        keep_refused_row();
        return;
    }
    try {
        const std::vector<std::int64_t> ids = selected_row_ids();
        bool all_marked = !ids.empty();
        for (std::int64_t id : ids)
            all_marked = all_marked && stored_row(current_table(), id).needs_review;
        mark_rows(ids, all_marked ? editor::RowMark::Reviewed : editor::RowMark::NeedsReview);
    } catch (const std::exception& e) {
        show_failure(this, e);
    }
}

void TranslationEditor::mark_selected(editor::RowMark mark) {
    if (!post_pending()) {
        keep_refused_row();
        return;
    }
    mark_rows(selected_row_ids(), mark);
}

void TranslationEditor::mark_rows(const std::vector<std::int64_t>& ids, editor::RowMark mark) {
    if (ids.empty()) return;
    try {
        std::optional<ProjectLock> lock;
        if (!project_.empty()) lock.emplace(directory_, project_);
        auto command = PostCommand::mark(current_table(), ids, mark, current_strings().kind(),
                                         refresher(code_mode_));
        if (!command) return;  // every row held the mark already
        undo_.push(command.release());
    } catch (const std::exception& e) {
        show_failure(this, e);
        return;
    }
    current_model()->refresh();
    highlight_rows(ids);
    schedule_progress();
}

void TranslationEditor::highlight_rows(const std::vector<std::int64_t>& row_ids) {
    select_row_id(shown_row_id_.value_or(-1), current_grid()->currentIndex().row());
    StringTableModel* model = current_model();
    const std::unordered_set<std::int64_t> wanted(row_ids.begin(), row_ids.end());
    const auto& visible = current_table().visible_row_ids();
    QItemSelection rows;
    const int loaded = std::min(model->rowCount(), static_cast<int>(visible.size()));
    for (int i = 0; i < loaded; ++i)
        if (wanted.count(visible[static_cast<size_t>(i)]))
            rows.select(model->index(i, 0), model->index(i, 0));
    current_grid()->selectionModel()->select(
        rows, QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

void TranslationEditor::move_to_next_row() {
    QTableView* grid = current_grid();
    int row = grid->currentIndex().row() + 1;
    StringTableModel* model = current_model();
    if (row >= model->rowCount() && model->canFetchMore({})) model->fetchMore({});
    if (row < model->rowCount()) grid->setCurrentIndex(model->index(row, 0));
}

void TranslationEditor::update_counts() {
    if (counts_) counts_->setText(counts_text());
}

QString TranslationEditor::counts_text() const {
    auto& table = const_cast<TranslationEditor*>(this)->current_table();
    if (!table.is_open()) return {};
    // One pass over the table for the three, remembered until it changes.
    const std::vector<int> counts = table.count_each(
        {std::string(store::field::Translated) + "=1", std::string(store::field::Ignore) + "=1",
         std::string(store::field::TranslateString) + "='' and " + store::field::Translated +
             "=0 and " + store::field::Ignore + "=0"});
    return QString("Translated: %1   Untranslated: %2   Ignored: %3")
        .arg(counts[0])
        .arg(counts[2])
        .arg(counts[1]);
}

// ---- keys ----

void TranslationEditor::enter_pressed() {
    if (!post_pending()) {
        keep_refused_row();
        return;
    }
    if (!not_translated_check->isChecked()) move_to_next_row();
    current_table().flush();
}

bool TranslationEditor::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    bool in_box = watched == code_translation_box || watched == forms_translation_box;
    bool in_grid = watched == code_grid || watched == forms_grid;
    if (in_box && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
        enter_pressed();
        return true;  // Enter never breaks the line
    }
    // In a box with nothing typed, Ctrl+Z takes back the last post; while typing it undoes the
    // typing as usual.
    if (in_box && key->matches(QKeySequence::Undo) &&
        current_box()->toPlainText() == shown_translation_) {
        undo_last_post();
        return true;
    }
    if (in_box && (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down ||
                   key->key() == Qt::Key_PageUp || key->key() == Qt::Key_PageDown)) {
        // The arrows and the page keys move the grid, wherever the focus is.
        current_grid()->setFocus();
        QKeyEvent copy(QEvent::KeyPress, key->key(), key->modifiers());
        QApplication::sendEvent(current_grid(), &copy);
        return true;
    }
    if (in_grid) {
        QString text = key->text();
        bool typed = !text.isEmpty() && text.at(0).isPrint() &&
                     !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
        // "&" and "(" stay with the grid.
        if (typed && text != "&" && text != "(") {
            QPlainTextEdit* box = current_box();
            box->setFocus();
            QKeyEvent copy(QEvent::KeyPress, key->key(), key->modifiers(), text);
            QApplication::sendEvent(box, &copy);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TranslationEditor::remember() {
    if (!memory_) return;
    EditorMemory memory;
    memory.size = size();
    memory.code_mode = code_mode_;
    memory.no_ignored = no_ignored_check->isChecked();
    memory.not_translated = not_translated_check->isChecked();
    memory.changed_only = changed_only_check->isChecked();
    memory.problems_only = problems_only_check->isChecked();
    memory.state = editor::state_filter_key(
        static_cast<editor::StateFilter>(std::max(0, state_combo->currentIndex())));
    if (file_combo->currentIndex() > 0)
        memory.file = file_combo->currentData(kFileNameRole).toString();
    write_editor_memory(*memory_, memory);
}

void TranslationEditor::undo_last_post() {
    if (!post_pending()) return;
    undo_.undo();
}

void TranslationEditor::done(int result) {
    // Closing does what Enter does; a refused text keeps the editor open rather than losing it.
    if (!post_pending()) {
        keep_refused_row();
        return;
    }
    code_strings_.flush();
    form_strings_.flush();
    remember();
    QDialog::done(result);
}

// ---- search and fonts ----

bool TranslationEditor::locate_next(const std::string& field, const std::string& text,
                                    bool* wrapped) {
    store::Table& table = current_table();
    std::string wanted = upper_case(text);
    // The texts of a code row are searched as the grid and the boxes show them.
    const bool code_text = code_mode_ && (field == store::field::OriginalString ||
                                          field == store::field::TranslateString);
    std::unordered_set<std::int64_t> matches;
    table.scan_field(field, [&](std::int64_t id, const std::string& stored) {
        // A body without apostrophes, codes or line breaks stands for itself: compared in place,
        // with no copy made for each of a million rows.
        std::string shown;
        std::string_view value = stored;
        if (code_text && stored.find_first_of("'#\r\n") != std::string::npos)
            value = shown = editor::ShownText(stored, true);
        if (value.size() >= wanted.size() &&
            std::equal(wanted.begin(), wanted.end(), value.begin(),
                       [](char w, char v) { return upper_char(v) == w; }))
            matches.insert(id);
    });
    return select_next_match(matches, true, wrapped);
}

bool TranslationEditor::select_next_match(const std::unordered_set<std::int64_t>& matches,
                                          bool forward, bool* wrapped) {
    if (wrapped) *wrapped = false;
    const std::vector<std::int64_t> ids = current_table().visible_row_ids();
    if (ids.empty()) return false;
    // From the row after (or before) the current one, once around, the current row last.
    const int count = static_cast<int>(ids.size());
    int current = current_grid()->currentIndex().row();
    if (current < 0) current = forward ? -1 : count;
    for (int step = 1; step <= count; ++step) {
        const int at = forward ? current + step : current - step;
        const int i = (at % count + count) % count;
        if (!matches.count(ids[static_cast<size_t>(i)])) continue;
        if (wrapped) *wrapped = at >= count || at < 0;
        select_row_id(ids[static_cast<size_t>(i)], i);
        return true;
    }
    return false;
}

bool TranslationEditor::find_text(const QString& text, bool forward, bool* wrapped) {
    if (wrapped) *wrapped = false;
    if (text.isEmpty()) return false;
    if (!post_pending()) {
        keep_refused_row();
        return false;
    }
    // The texts as the grid and the boxes show them.
    std::unordered_set<std::int64_t> matches;
    for (const char* field : {store::field::OriginalString, store::field::TranslateString})
        current_table().scan_field(field, [&](std::int64_t id, const std::string& stored) {
            if (!stored.empty() && !matches.count(id) &&
                to_q(editor::ShownText(stored, code_mode_)).contains(text, Qt::CaseInsensitive))
                matches.insert(id);
        });
    return select_next_match(matches, forward, wrapped);
}

void TranslationEditor::open_find_bar() {
    find_bar->open();
}

void TranslationEditor::find_next() {
    find_from_bar(true);
}

void TranslationEditor::find_previous() {
    find_from_bar(false);
}

void TranslationEditor::find_from_bar(bool forward) {
    if (find_bar->isHidden() || find_bar->text().isEmpty()) {
        find_bar->open();
        if (find_bar->text().isEmpty()) return;
    }
    bool wrapped = false;
    try {
        if (!find_text(find_bar->text(), forward, &wrapped))
            find_bar->show_message("Not found.");
        else
            find_bar->show_message(wrapped ? (forward ? "Searched on from the first row."
                                                      : "Searched on from the last row.")
                                           : QString());
    } catch (const std::exception& e) {
        show_failure(this, e);
    }
}

void TranslationEditor::search() {
    if (!post_pending()) {
        keep_refused_row();
        return;
    }
    std::vector<std::string> fields;
    for (const auto& f : current_table().schema().fields) fields.push_back(f.name);
    LocateDialog dialog(fields, store::field::OriginalString, this);
    connect(&dialog, &LocateDialog::find_next, this, [this, &dialog] {
        try {
            bool wrapped = false;
            if (!locate_next(dialog.field(), from_q(dialog.value()), &wrapped))
                reporter().information("Search value not found.");
            else
                reporter().status(wrapped ? "Search went on from the first row." : "");
        } catch (const std::exception& e) {
            show_failure(this, e);
        }
    });
    dialog.exec();
}

void TranslationEditor::pick_translation_font() {
    if (!shown_row_id_) {
        reporter().error("Please select an item (a font name).");
        return;
    }
    bool ok = false;
    QFont font = QFontDialog::getFont(&ok, current_box()->font(), this);
    if (!ok) return;
    current_box()->setPlainText(font.family());
    post_row({}, {}, {});
}

void TranslationEditor::pick_display_font() {
    bool ok = false;
    QFont font = QFontDialog::getFont(&ok, current_box()->font(), this);
    if (ok) current_box()->setFont(font);
}

void open_translation_editor(QWidget* parent, store::Session& session, const EditorTables& tables,
                             std::optional<bool> code_mode_at_start, int context_lines) {
    QSettings memory("Lexorin", "Lexorin");
    TranslationEditor editor(session, tables, code_mode_at_start, context_lines, parent, &memory);
    editor.exec();
}

}  // namespace lexorin::gui
