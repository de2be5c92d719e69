#include "shell/window/MainForm.h"

#include "analysis/AnalysisReport.h"
#include "analysis/ItemAnalysis.h"
#include "platform/CodePage.h"
#include "platform/Collator.h"
#include "platform/Errors.h"
#include "platform/Files.h"
#include "platform/Locale.h"
#include "platform/Paths.h"
#include "platform/TextEncoding.h"
#include "shell/about/About_Box.h"
#include "shell/analysis/AnalysisWindow.h"
#include "shell/recent/FileNameKeeper.h"
#include "shell/window/SavePlace.h"
#include "shell/window/ShellText.h"
#include "shell/window/WindowPlacement.h"
#include "shell/window/WindowSettings.h"
#include "table/clipboard/CellBlock.h"
#include "table/file/AnswerFile.h"
#include "table/marking/Marking.h"
#include "table/marking/Numbers.h"
#include "table/marking/Sorting.h"
#include "table/roster/RosterPaste.h"
#include "table/session/Messages.h"

#include <QAction>
#include <QCloseEvent>
#include <QIcon>
#include <QScreen>
#include <QStringList>
#include <exception>
#include <mutex>
#include <new>
#include <utility>
#include <vector>

namespace {

const QString ProgramName = QStringLiteral("Pelloran");
const QString WindowFontFace = QStringLiteral("ＭＳ Ｐゴシック");
constexpr int FontPixels = 12;

/// The face the window names exists on Windows only; it stands for the Japanese faces here.
/// The substitution table belongs to the whole application: filled once, by the first window.
void RegisterFontSubstitutions() {
    static std::once_flag registered;
    std::call_once(registered, [] {
        QFont::insertSubstitutions(WindowFontFace,
                                   {QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic"),
                                    QStringLiteral("Noto Sans CJK JP")});
    });
}

QFont WindowFont() {
    QFont font(WindowFontFace);
    font.setPixelSize(FontPixels);
    return font;
}

/// A failure's text as the standard error box shows it: a "." is added unless the text ends
/// in a character that is "." or below.
QString ErrorBoxText(const QString& message) {
    if (message.isEmpty() || message.back().unicode() <= u'.') {
        return message;
    }
    return message + QLatin1Char('.');
}

TUserText CancelText() {
    return {"Cancel", "キャンセル"};
}

} // namespace

TMain::TMain(TMainSetup setup, TShellServices& services, QWidget* parent)
    : QMainWindow(parent), setup_(std::move(setup)), services_(services) {
    RegisterFontSubstitutions();
    setWindowTitle(ProgramName);
    setFont(WindowFont());
    setWindowIcon(QIcon(ExecutableFolder() + QStringLiteral("/images/Pelloran.png")));
    new TOuterPlacement(*this, QSize(Width, Height));

    Table = new TAnswerGrid(table_, this);
    Table->setFont(WindowFont());
    setCentralWidget(Table);
    connect(Table, &TAnswerGrid::EnabledCommandsChanged, this, &TMain::UpdateEnabledCommands);
    connect(Table, &TAnswerGrid::KeyReleased, this, &TMain::TableKeyUp);
    connect(&Table->Model(), &QAbstractItemModel::dataChanged, this, &TMain::TableChanged);
    Table->Model().SetCellWriter(
        [this](int column, int row, std::string_view text) { history_.Type(column, row, text); });
    connect(Table->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { history_.EndTyping(); });
    connect(this, &TMain::TableChanged, this, &TMain::UpdateHistoryCommands);
    clipboard_.emplace(services_, history_, table_, *Table, *this, languageTexts_);
    table_.SetProgressListener(&progress_);

    FileNameKeep = new TFileNameKeep(this, setup_.user, setup_.executablePath);
    menus_.BuildMenus(*this, analysisTexts_);
    menus_.BuildToolBar(*this, ExecutableFolder() + QStringLiteral("/images/"));
    ConnectCommands();
    FileNameKeep->SetParentMenu(menus_.mmFile);
    FileNameKeep->SetOnSelect([this](const QString& fileName) { FileNameKeepSelect(fileName); });
    UpdateEnabledCommands();
    UpdateHistoryCommands();
}

TMain::~TMain() {
    // The grid and the analysis read the table until they are gone, and the table is a member
    // of this window.
    delete AnalysisWindow;
    delete Table;
}

TMainTestFace TMain::TestFace() const {
    return {menus_, Table, FileNameKeep, AnalysisWindow};
}

void TMain::ConnectCommand(QAction* action, void (TMain::*handler)()) {
    connect(action, &QAction::triggered, this, [this, handler] {
        RunCommand([this, handler] { (this->*handler)(); });
        emit TableChanged();
    });
}

void TMain::ConnectCommands() {
    ConnectCommand(menus_.mmNew, &TMain::mmNewClick);
    ConnectCommand(menus_.mmOpen, &TMain::mmOpenClick);
    ConnectCommand(menus_.mmSave, &TMain::mmSaveClick);
    ConnectCommand(menus_.mmSaveAs, &TMain::mmSaveAsClick);
    ConnectCommand(menus_.mmExit, &TMain::mmExitClick);
    ConnectCommand(menus_.mmPaste, &TMain::mmPasteClick);
    ConnectCommand(menus_.mmSortWithNumber, &TMain::mmSortWithNumberClick);
    ConnectCommand(menus_.mmSortwithpoint, &TMain::SortWithPointClick);
    ConnectCommand(menus_.mmMark, &TMain::mmMarkClick);
    // Showing the analysis changes no cell, and the window brings itself up to date as it shows.
    connect(menus_.mmAnalysis, &QAction::triggered, this,
            [this] { RunCommand([this] { mmAnalysisClick(); }); });
    // Printing changes no cell.
    connect(menus_.mmSlips, &QAction::triggered, this,
            [this] { RunCommand([this] { PaperClick(TPaperKind::Slips, this); }); });
    connect(menus_.mmClassList, &QAction::triggered, this,
            [this] { RunCommand([this] { PaperClick(TPaperKind::ClassList, this); }); });
    ConnectCommand(menus_.mmUndo, &TMain::mmUndoClick);
    ConnectCommand(menus_.mmRedo, &TMain::mmRedoClick);
    ConnectCommand(menus_.mmCut, &TMain::mmCutClick);
    ConnectCommand(menus_.mmCopy, &TMain::mmCopyClick);
    ConnectCommand(menus_.mmCopyWithTitles, &TMain::mmCopyWithTitlesClick);
    ConnectCommand(menus_.mmPasteCells, &TMain::mmPasteCellsClick);
    ConnectCommand(menus_.mmClear, &TMain::mmClearClick);
    ConnectCommand(menus_.mmShowHelp, &TMain::mmShowHelpClick);
    ConnectCommand(menus_.mmAbout, &TMain::mmAboutClick);
    ConnectCommand(menus_.ToolButton1, &TMain::mmNewClick);
    ConnectCommand(menus_.ToolButton2, &TMain::mmOpenClick);
    ConnectCommand(menus_.ToolButton3, &TMain::mmSaveAsClick);
    ConnectCommand(menus_.ToolButton4, &TMain::mmMarkClick);
    ConnectCommand(menus_.ToolButton5, &TMain::mmSortWithNumberClick);
}

void TMain::UpdateEnabledCommands() {
    menus_.mmMark->setEnabled(table_.IsEnabled(TCommand::mmMark));
    menus_.mmSortWithNumber->setEnabled(table_.IsEnabled(TCommand::mmSortWithNumber));
    menus_.mmSortwithpoint->setEnabled(table_.IsEnabled(TCommand::mmSortWithPoint));
}

void TMain::UpdateHistoryCommands() {
    menus_.mmUndo->setEnabled(history_.CanUndo());
    menus_.mmRedo->setEnabled(history_.CanRedo());
}

QString TMain::ExecutableFolder() const {
    return FromNativePath(setup_.executablePath.parent_path());
}

QString TMain::ApplicationTitle() const {
    QString title = FromNativePath(setup_.executablePath.filename());
    title = title.left(title.indexOf(QLatin1Char('.')));
    return title.left(1) + title.mid(1).toLower();
}

void TMain::ShowError(const QString& message) {
    services_.ShowError(this, ApplicationTitle(), ErrorBoxText(message));
}

bool TMain::RunCommand(const std::function<void()>& command) {
    bool succeeded = false;
    try {
        command();
        succeeded = true;
    } catch (const ECancelledError&) {
        // The user stopped it and knows.
    } catch (const std::exception& error) {
        // With the system's reason, which is what the teacher can mend (a read-only file, a full
        // disk).
        ShowError(FromUtf8(FailureTextWithCause(error, languageTexts_)));
    }
    Table->FlushPaints();
    return succeeded;
}

void TMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!shown_) {
        shown_ = true;
        RunCommand([this] { FormShow(); });
        emit TableChanged();
    }
}

void TMain::FormShow() {
    table_.SetQuestionCount(TAnswerTable::InitialQuestionCount);
    table_.SetHighlightColor(clWhite);
    const TWindowSettings settings =
        ReadSettings(setup_.executablePath, setup_.user, *FileNameKeep);
    settingsFileName_ = settings.fileName;
    currentDir_ = settings.currentDir;
    openDialogFolder_ = currentDir_;
    ApplyLanguageFile(
        setup_.executablePath, setup_.user,
        {*this, menus_, *Table, table_, analysisTexts_, helpTexts_, languageTexts_, progress_});
    menus_.ToolButton1->setToolTip(menus_.mmNew->text());
    menus_.ToolButton2->setToolTip(menus_.mmOpen->text());
    menus_.ToolButton3->setToolTip(menus_.mmSaveAs->text());
    menus_.ToolButton4->setToolTip(menus_.mmMark->text());
    menus_.ToolButton5->setToolTip(menus_.mmSortWithNumber->text());
    session_.Start();
}

void TMain::closeEvent(QCloseEvent* event) {
    event->ignore();
    RunCommand([&] { FormClose(*event); });
    if (event->isAccepted() && AnalysisWindow != nullptr) {
        AnalysisWindow->close();
    }
}

void TMain::FormClose(QCloseEvent& event) {
    // Keeping the window open is the only way not to lose a table the user wants to keep.
    if (!ConfirmDiscard()) {
        return;
    }
    // The table is saved or given up by now: settings or a list that cannot be written are
    // told, and keep their old bytes, but must not keep the window from closing. They share
    // one file: the list is tried also when the settings failed, and one failure is told.
    event.accept();
    std::exception_ptr failure;
    try {
        WriteSettings(settingsFileName_, currentDir_);
    } catch (const EPelloranError&) {
        failure = std::current_exception();
    }
    try {
        FileNameKeep->SaveFileNames();
    } catch (const EPelloranError&) {
        if (!failure) {
            failure = std::current_exception();
        }
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
}

void TMain::SetFileName(const QString& fileName) {
    FileNameKeep->AddFileName(fileName);
    session_.SetFileName(ToNativePath(fileName));
    ShowFileNameInTitle();
}

void TMain::ShowFileNameInTitle() {
    if (session_.FileName().empty()) {
        setWindowTitle(ProgramName);
        return;
    }
    const std::string name = ExtractFileName(PathText(session_.FileName()));
    setWindowTitle(FromPathText(ChangeFileExt(name, "")) + QStringLiteral(" - ") + ProgramName);
}

void TMain::LoadAnswerFile(const QString& fileName) {
    TellLoadNotices(fileName, LoadTable(fileName).notices);
}

TOpenedFile TMain::LoadTable(const QString& fileName) {
    return history_.Open(ToNativePath(fileName));
}

void TMain::TellLoadNotices(const QString& fileName, const TLoadNotices& notices) {
    const std::vector<TUserText> texts = LoadNoticeTexts(ToPathText(fileName), notices);
    if (texts.empty()) {
        return;
    }
    // Told before anything is saved: saving would keep the "?" in place of the characters and
    // drop what a NUL cut off.
    QStringList lines;
    for (const TUserText& text : texts) {
        lines.append(Worded(text));
    }
    Table->FlushPaints();
    services_.ShowMessage(this, lines.join(QLatin1Char('\n')));
}

std::string TMain::GetTableText() const {
    return ::GetTableText(table_);
}

bool TMain::SaveTextAs(std::string text) {
    return ConfirmUnsavedCells() && ChooseFileAndSave(std::move(text));
}

bool TMain::ChooseFileAndSave(std::string text) {
    while (true) {
        const TSavePlace place = WritableSavePlace(currentDir_, SaveProposal(), setup_.user);
        const std::optional<QString> fileName =
            services_.GetSaveFileName(this, place.folder, place.proposedName, AnswerFileFilter());
        if (!fileName) {
            return false;
        }
        switch (ConfirmOverwrite(*fileName)) {
        case TOverwriteAnswer::Overwrite:
            break;
        case TOverwriteAnswer::ChooseAnother:
            continue;
        case TOverwriteAnswer::Cancel:
            return false;
        }
        session_.SaveText(ToNativePath(*fileName), std::move(text));
        SetFileName(*fileName);
        currentDir_ = FromPathText(ExtractFileDir(ToPathText(*fileName)));
        return true;
    }
}

bool TMain::ConfirmUnsavedCells() {
    const TUnsavedCells unsaved = session_.UnsavedCells();
    if (unsaved.IsEmpty()) {
        return true;
    }
    Table->FlushPaints();
    return services_.AskChoice(this, Worded(UnsavedCellsText(unsaved)),
                               {Worded({"SaveWithoutCells", "それらのセルを除いて保存"}),
                                Worded(CancelText())}) == 0;
}

TMain::TOverwriteAnswer TMain::ConfirmOverwrite(const QString& fileName) {
    if (!session_.FileChangedSince(ToNativePath(fileName))) {
        return TOverwriteAnswer::Overwrite;
    }
    const QString question = Worded({"OverwriteChangedFile",
                                     "ファイル %1 は、開いたか保存した後でほかのプログラムに変更"
                                     "されています。上書きすると、その変更は失われます。",
                                     {TUserText::Literal(ToPathText(fileName))}});
    switch (services_.AskChoice(this, question,
                                {Worded({"Overwrite", "上書き保存"}),
                                 Worded({"SaveUnderAnotherName", "別の名前で保存..."}),
                                 Worded(CancelText())})) {
    case 0:
        return TOverwriteAnswer::Overwrite;
    case 1:
        return TOverwriteAnswer::ChooseAnother;
    default:
        return TOverwriteAnswer::Cancel;
    }
}

bool TMain::ConfirmDiscard() {
    std::string text = GetTableText();
    if (!session_.IsChanged(text)) {
        return true;
    }
    const TDiscardWording wording = {Worded({"DiscardCaption", "確認"}),
                                     Worded({"DiscardYes", "はい(&Y)"}),
                                     Worded({"DiscardNo", "いいえ(&N)"}), Worded(CancelText())};
    switch (services_.AskDiscard(this, FromCodePage(table_.Message(TMessage::DiscardQuestion)),
                                 wording)) {
    case TDiscardAnswer::Yes:
        return SaveTextAs(std::move(text));
    case TDiscardAnswer::No:
        return true;
    case TDiscardAnswer::Cancel:
        break;
    }
    return false;
}

void TMain::mmNewClick() {
    if (ConfirmDiscard()) {
        history_.New();
        ShowFileNameInTitle();
    }
}

void TMain::mmOpenClick() {
    if (!ConfirmDiscard()) {
        return;
    }
    const std::optional<QString> fileName =
        services_.GetOpenFileName(this, openDialogFolder_, AnswerFileFilter());
    if (fileName) {
        OpenChosenFile(*fileName);
    }
}

void TMain::OpenChosenFile(const QString& fileName) {
    currentDir_ = FromPathText(ExtractFileDir(ToPathText(fileName)));
    openDialogFolder_ = currentDir_;
    // The dialog's choice names the table even when it cannot be read.
    TOpenedFile opened;
    try {
        opened = LoadTable(fileName);
    } catch (const ECancelledError&) {
        // Stopped by the user, the table stays as it was, its name included.
        throw;
    } catch (...) {
        SetFileName(fileName);
        throw;
    }
    NameOpenedTable(fileName, opened);
}

void TMain::NameOpenedTable(const QString& fileName, const TOpenedFile& opened) {
    // A key file loaded over a class leaves the class its name: saving must not offer to put
    // the whole class into the key file.
    if (opened.namesTable) {
        SetFileName(fileName);
    }
    TellLoadNotices(fileName, opened.notices);
}

void TMain::OpenGivenFile(const QString& fileName) {
    RunCommand([&] {
        if (ConfirmDiscard()) {
            OpenChosenFile(FromNativePath(std::filesystem::absolute(ToNativePath(fileName))));
        }
    });
    emit TableChanged();
}

void TMain::FileNameKeepSelect(const QString& fileName) {
    RunCommand([&] {
        if (!ConfirmDiscard()) {
            return;
        }
        NameOpenedTable(fileName, LoadTable(fileName));
    });
    emit TableChanged();
}

void TMain::mmSaveClick() {
    const std::filesystem::path fileName = session_.TableFileName();
    if (fileName.empty()) {
        mmSaveAsClick();
        return;
    }
    if (!ConfirmUnsavedCells()) {
        return;
    }
    const QString name = FromNativePath(fileName);
    switch (ConfirmOverwrite(name)) {
    case TOverwriteAnswer::Overwrite:
        session_.SaveText(fileName, GetTableText());
        SetFileName(name);
        break;
    case TOverwriteAnswer::ChooseAnother:
        ChooseFileAndSave(GetTableText());
        break;
    case TOverwriteAnswer::Cancel:
        break;
    }
}

void TMain::mmSaveAsClick() {
    SaveTextAs(GetTableText());
}

void TMain::mmExitClick() {
    close();
}

void TMain::mmPasteClick() {
    TClipboardPaste pasted;
    const auto readClipboard = [this, &pasted] {
        pasted = clipboard_->ReadClipboardToPaste();
        return pasted.text;
    };
    int nulLine = 0;
    try {
        if (!ChooseRosterClass(readClipboard)) {
            return;
        }
        history_.Record(TStepKind::RosterPaste, [&](TAnswerTable& table) {
            nulLine = PasteRosterFromClipboard(table, readClipboard);
        });
    } catch (const ERosterPasteError& error) {
        services_.ShowMessage(this, Worded(error.Text()));
    }
    clipboard_->TellPasted(pasted);
    if (nulLine > 0) {
        Table->FlushPaints();
        services_.ShowMessage(this, Worded(NulEndedClipboardNotice(nulLine)));
    }
}

bool TMain::ChooseRosterClass(const std::function<std::string()>& readClipboard) {
    if (!HoldsStudentAnswers(table_)) {
        return true;
    }
    // A roster the paste would refuse is refused by it, without a question first.
    try {
        if (CheckRosterText(table_, readClipboard()) == 0) {
            return true;
        }
    } catch (const std::exception&) {
        return true;
    }
    const QString question =
        Worded({"RosterOverAnswers",
                "答えのある生徒の行に、学籍番号と氏名を貼り付けようとしています。答えはそのまま残"
                "り、ほかの生徒の名前の下に並びます。"});
    switch (services_.AskChoice(this, question,
                                {Worded({"RosterOverNames", "名前を上書きする (答えは残す)"}),
                                 Worded({"RosterAsNewClass", "新しいクラスとして貼り付ける"}),
                                 Worded(CancelText())})) {
    case 0:
        return true;
    case 1:
        if (!ConfirmDiscard()) {
            return false;
        }
        history_.New();
        ShowFileNameInTitle();
        return true;
    default:
        return false;
    }
}

void TMain::mmSortWithNumberClick() {
    history_.SortByNumber(TCollator());
}

void TMain::SortWithPointClick() {
    history_.SortByScore(TCollator());
}

void TMain::mmMarkClick() {
    try {
        history_.Mark(DecimalSeparator());
    } catch (const EMarkError& error) {
        Table->SetCurrentCell(error.Cell().column, error.Cell().row);
        throw;
    }
}

void TMain::mmAnalysisClick() {
    if (AnalysisWindow == nullptr) {
        AnalysisWindow = new TAnalysisWindow(table_, analysisTexts_, languageTexts_,
                                             progress_.Texts().analysisStopped, this);
        connect(this, &TMain::TableChanged, AnalysisWindow, &TAnalysisWindow::TableChanged);
        connect(AnalysisWindow, &TAnalysisWindow::SaveReportClicked, this,
                [this] { RunCommand([this] { SaveReportClick(); }); });
        connect(AnalysisWindow, &TAnalysisWindow::PaperClicked, this, [this](TPaperKind kind) {
            RunCommand([this, kind] { PaperClick(kind, AnalysisWindow); });
        });
    }
    if (!AnalysisWindow->isVisible()) {
        PlaceAnalysisWindow();
    }
    AnalysisWindow->show();
    AnalysisWindow->raise();
    AnalysisWindow->activateWindow();
}

void TMain::PlaceAnalysisWindow() {
    const QRect frame = frameGeometry();
    // The analysis window is not framed yet: its frame is taken to be as wide as this one's.
    const QMargins frameMargins(geometry().left() - frame.left(), geometry().top() - frame.top(),
                                frame.right() - geometry().right(),
                                frame.bottom() - geometry().bottom());
    const int pointsRowBottom =
        Table->viewport()->mapToGlobal(QPoint(0, Table->rowHeight(0) + Table->rowHeight(1))).y() -
        1;
    const QRect placed =
        PlaceBeside(frame, pointsRowBottom, AnalysisWindow->size().grownBy(frameMargins),
                    screen()->availableGeometry());
    AnalysisWindow->setGeometry(placed.marginsRemoved(frameMargins));
}

void TMain::mmUndoClick() {
    history_.Undo();
    Table->RepaintChangedLooks();
    ShowFileNameInTitle();
}

void TMain::mmRedoClick() {
    history_.Redo();
    Table->RepaintChangedLooks();
    ShowFileNameInTitle();
}

void TMain::mmCutClick() {
    clipboard_->Cut();
}

void TMain::mmCopyClick() {
    clipboard_->Copy();
}

void TMain::mmCopyWithTitlesClick() {
    clipboard_->CopyWithTitles();
}

void TMain::mmPasteCellsClick() {
    clipboard_->PasteCells();
}

void TMain::mmClearClick() {
    history_.Clear(Table->SelectedRange());
}

QString TMain::Worded(const TUserText& text) const {
    return ::Worded(text, languageTexts_);
}

QString TMain::AnswerFileFilter() const {
    return Worded({"AnswerFileFilter", "カンマ区切りテキスト(*.csv)"});
}

QString TMain::SaveProposal() const {
    return session_.FileName().empty() ? QString() : FromNativePath(session_.FileName());
}

QString TMain::ReportProposal() const {
    if (session_.FileName().empty()) {
        return {};
    }
    // Named by the path rules, as the save proposal is: Qt's would give '/' on Windows.
    return FromPathText(ChangeFileExt(PathText(session_.FileName()), ".html"));
}

void TMain::SaveReportClick() {
    const char decimalSeparator = DecimalSeparator();
    // Analysed before the dialog asks for a name, so that a table the analysis fails on is
    // told at once.
    const TTestAnalysis analysis = AnalyseTestForOutput(table_, analysisTexts_, decimalSeparator);
    const TSavePlace place = WritableSavePlace(currentDir_, ReportProposal(), setup_.user);
    const std::optional<QString> fileName =
        services_.GetSaveReportFileName(AnalysisWindow, place.folder, place.proposedName,
                                        Worded({"ReportFilter", "HTML (*.html *.htm)"}));
    if (!fileName) {
        return;
    }
    const std::string reportedName = PathText(session_.FileName().filename());
    WriteFileBytesAtomic(
        ToNativePath(*fileName),
        AnalysisReportHtml(analysis, table_, analysisTexts_, reportedName, decimalSeparator));
}

void TMain::PaperClick(TPaperKind kind, QWidget* owner) {
    TPaperDialog dialog({kind, table_, analysisTexts_, services_, session_.FileName(), currentDir_,
                         [this](const std::function<void()>& command) { RunCommand(command); }},
                        owner);
    dialog.exec();
}

void TMain::mmShowHelpClick() {
    ShowHelpPage(services_, this, ExecutableFolder(), helpTexts_);
}

void TMain::mmAboutClick() {
    aboutBox_->setWindowTitle(Worded({"AboutCaption", "バージョン情報"}));
    aboutBox_->SetProductName(QStringLiteral("  ") + ProgramName);
    aboutBox_->SetVersion(QStringLiteral("       Version ") + QStringLiteral(PELLORAN_VERSION));
    QString failure;
    try {
        aboutBox_->LoadProgramIcon(setup_.executablePath.parent_path() / "Pelloran123.ico");
    } catch (const std::exception& error) {
        failure = FromUtf8(FailureText(error, languageTexts_));
    }
    aboutBox_->ShowModeless();
    if (!failure.isEmpty()) {
        // Owned by the box, which has the keys again once the error box is closed.
        services_.ShowError(aboutBox_, ApplicationTitle(), ErrorBoxText(failure));
    }
}

void TMain::TableKeyUp(TReleasedKey key) {
    RunCommand([&] {
        const int column = Table->CurrentColumn();
        const int row = Table->CurrentRow();
        switch (TableKeyUpAction(table_, column, row, key)) {
        case TKeyUpAction::ShowHelp:
            mmShowHelpClick();
            break;
        case TKeyUpAction::Advance:
            Table->AdvanceCurrentCell();
            break;
        case TKeyUpAction::None:
            break;
        }
    });
}
