#include "app/qt/WizardTabView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "app/qt/CalculatorDialog.h"
#include "app/qt/ControlBinding.h"
#include "app/qt/DesktopFonts.h"
#include "app/qt/DropDownLists.h"

namespace {
constexpr int kListHeight = 12;  // visible entries of an open drop-down list

QLabel* PlainLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QVBoxLayout* PageLayout(QWidget* page) { return static_cast<QVBoxLayout*>(page->layout()); }
}  // namespace

WizardTabView::WizardTabView(TTRecForm& form, TformCalc& calculator, std::function<void()> afterEvent,
                             QWidget* parent)
    : QWidget(parent), form_(form), calculator_(calculator), afterEvent_(std::move(afterEvent)) {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(8, 3, 8, 3);
    outer->setSpacing(2);

    pages_ = new QStackedWidget(this);
    pages_->setObjectName("Wizard");
    outer->addWidget(pages_, 1);

    QWidget* intro = AddPage(0);
    PageLayout(intro)->addWidget(BindLabel(form_.IntroLabel, "IntroLabel"));
    PageLayout(intro)->addSpacing(6);
    AddText(intro, 0, 0);
    PageLayout(intro)->addSpacing(6);
    AddText(intro, 0, 1);
    PageLayout(intro)->addStretch(1);

    BuildDetailsPage();
    BuildTimeSetPage();
    BuildTimeAlarmPage();
    BuildDelayPage();
    BuildSampleRatePage();
    BuildThresholdPage();
    BuildRolloverPage();
    BuildFinishPage();

    auto* buttonRow = new QHBoxLayout;
    buttonRow->setSpacing(6);
    buttonRow->addStretch(1);
    buttonRow->addWidget(BindButton(form_.BackButton, "BackButton", [this] { form_.BackButtonClick(); }));
    buttonRow->addWidget(BindButton(form_.NextButton, "NextButton", [this] { form_.NextButtonClick(); }));
    buttonRow->addSpacing(10);
    buttonRow->addWidget(
        BindButton(form_.FinishButton, "FinishButton", [this] { form_.FinishButtonClick(); }));
    outer->addLayout(buttonRow);

    Sync();
}

QWidget* WizardTabView::AddPage(int index) {
    auto* page = new QWidget(pages_);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    QLabel* title = PlainLabel(QString::fromLatin1(kWizardPages[index].Heading), page);
    title->setObjectName("Heading");
    headings_.push_back(title);
    StyleHeading(title);
    layout->addWidget(title);
    pages_->addWidget(page);
    return page;
}

// Headings stand out from the window's font, whichever font the window is given.
void WizardTabView::StyleHeading(QLabel* heading) const {
    QFont font = this->font();
    font.setBold(true);
    if (font.pointSize() > 0)
        font.setPointSize(font.pointSize() + 2);
    else
        font.setPixelSize(font.pixelSize() + 3);
    heading->setFont(font);
}

void WizardTabView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange)
        for (QLabel* heading : headings_) StyleHeading(heading);
    QWidget::changeEvent(event);
}

QLabel* WizardTabView::AddText(QWidget* page, int index, int paragraph) {
    QLabel* label = PlainLabel(ToQString(kWizardPages[index].Paragraphs[paragraph]), page);
    label->setWordWrap(true);
    PageLayout(page)->addWidget(label);
    return label;
}

QLabel* WizardTabView::BindLabel(const Control& control, const char* name) {
    QLabel* label = PlainLabel(QString(), this);
    label->setObjectName(name);
    bindings_.Add(label, control);
    return label;
}

QCheckBox* WizardTabView::BindCheck(CheckControl& control, const char* name) {
    auto* box = new QCheckBox(this);
    box->setObjectName(name);
    // clicked, not toggled: mirroring the state must not count as a user's change.
    connect(box, &QCheckBox::clicked, this,
            [this, &control](bool checked) { Forward([&control, checked] { control.Checked = checked; }); });
    bindings_.AddCheck(box, control);
    return box;
}

QComboBox* WizardTabView::BindList(ListControl& control, const char* name, std::function<void()> onChange) {
    auto* box = new QComboBox(this);
    box->setObjectName(name);
    box->setMaxVisibleItems(kListHeight);
    EnableTypedChoice(box);
    UseRegularWeight(box);
    box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    // activated fires only for the user's choice, never for a selection made by Sync.
    connect(box, &QComboBox::activated, this, [this, &control, onChange = std::move(onChange)](int index) {
        Forward([this, &control, index, &onChange] {
            control.Select(index);
            bindings_.ChoiceShown(control);
            if (onChange) onChange();
        });
    });
    bindings_.Add(box, control);
    return box;
}

QPushButton* WizardTabView::BindButton(Control& control, const char* name, std::function<void()> onClick) {
    auto* button = new QPushButton(this);
    button->setObjectName(name);
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, [this, onClick = std::move(onClick)] { Forward(onClick); });
    bindings_.Add(button, control);
    return button;
}

void WizardTabView::BuildDetailsPage() {
    QWidget* page = AddPage(1);
    AddText(page, 1, 0);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(1);
    for (int i = 0; i < 6; ++i) {
        const std::string labelName = "lbluser" + std::to_string(i);
        const std::string editName = "edituser" + std::to_string(i + 1);
        grid->addWidget(BindLabel(form_.lbluser[i], labelName.c_str()), i, 0);
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString::fromStdString(editName));
        UseRegularWeight(edit);
        connect(edit, &QLineEdit::textEdited, this, [this, i](const QString& text) { UserEdited(i, text); });
        userEdits_[i] = edit;
        grid->addWidget(edit, i, 1);
    }
    grid->setColumnStretch(1, 1);
    PageLayout(page)->addLayout(grid);
    PageLayout(page)->addWidget(BindCheck(form_.chkIgnore, "chkIgnore"));
    PageLayout(page)->addStretch(1);
}

void WizardTabView::BuildTimeSetPage() {
    QWidget* page = AddPage(2);
    AddText(page, 2, 0);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(4);
    grid->addWidget(BindLabel(form_.TRecTimeCaption, "TRecTimeCaption"), 0, 0);
    grid->addWidget(BindLabel(form_.TRecTimeLabel, "TRecTimeLabel"), 0, 1);
    grid->addWidget(BindLabel(form_.PCTimeCaption, "PCTimeCaption"), 1, 0);
    grid->addWidget(BindLabel(form_.PCTimeLabel, "PCTimeLabel"), 1, 1);
    grid->setColumnStretch(1, 1);
    PageLayout(page)->addSpacing(6);
    PageLayout(page)->addLayout(grid);
    PageLayout(page)->addSpacing(6);
    PageLayout(page)->addWidget(BindCheck(form_.SetTimeCheck, "SetTimeCheck"));
    PageLayout(page)->addStretch(1);
}

void WizardTabView::BuildTimeAlarmPage() {
    QWidget* page = AddPage(3);
    AddText(page, 3, 0);
    auto* modeRow = new QHBoxLayout;
    modeRow->addWidget(
        BindList(form_.AlarmTimeCombo, "AlarmTimeCombo", [this] { form_.AlarmTimeComboChange(); }));
    modeRow->addStretch(1);
    PageLayout(page)->addLayout(modeRow);

    hidePanel_ = new QWidget(page);
    hidePanel_->setObjectName("HidePanel");
    auto* panel = new QGridLayout(hidePanel_);
    panel->setContentsMargins(0, 0, 0, 0);
    panel->setHorizontalSpacing(8);
    panel->setVerticalSpacing(1);
    QLabel* select = BindLabel(form_.AlarmSelectLabel, "AlarmSelectLabel");
    select->setParent(hidePanel_);
    panel->addWidget(select, 0, 0, 1, 5);
    const std::array<std::pair<const Control*, const char*>, 4> captions = {
        {{&form_.AlarmDayLabel, "AlarmDayLabel"},
         {&form_.AlarmHourLabel, "AlarmHourLabel"},
         {&form_.AlarmMinuteLabel, "AlarmMinuteLabel"},
         {&form_.AlarmSecondLabel, "AlarmSecondLabel"}}};
    const std::array<std::pair<ListControl*, const char*>, 4> alarmLists = {
        {{&form_.AlarmDay, "AlarmDay"},
         {&form_.AlarmHour, "AlarmHour"},
         {&form_.AlarmMinute, "AlarmMinute"},
         {&form_.AlarmSecond, "AlarmSecond"}}};
    for (int i = 0; i < 4; ++i) {
        QLabel* caption = BindLabel(*captions[i].first, captions[i].second);
        QComboBox* list = BindList(*alarmLists[i].first, alarmLists[i].second, {});
        caption->setParent(hidePanel_);
        list->setParent(hidePanel_);
        panel->addWidget(caption, 1, i);
        panel->addWidget(list, 2, i);
    }
    panel->setColumnStretch(4, 1);
    PageLayout(page)->addWidget(hidePanel_);
    PageLayout(page)->addWidget(BindCheck(form_.ConditionalOnTimeCheck, "ConditionalOnTimeCheck"));
    PageLayout(page)->addStretch(1);
}

void WizardTabView::BuildDelayPage() {
    QWidget* page = AddPage(4);
    AddText(page, 4, 0);
    AddText(page, 4, 1);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(1);
    grid->addWidget(BindLabel(form_.DelayDayLabel, "DelayDayLabel"), 0, 0);
    grid->addWidget(BindLabel(form_.DelayHourLabel, "DelayHourLabel"), 0, 1);
    grid->addWidget(BindLabel(form_.DelayMinuteLabel, "DelayMinuteLabel"), 0, 2);
    grid->addWidget(BindLabel(form_.TotalMinutesCaption, "TotalMinutesCaption"), 0, 3);
    grid->addWidget(BindList(form_.DelayDay, "DelayDay", [this] { form_.DelayDayChange(); }), 1, 0);
    grid->addWidget(BindList(form_.DelayHour, "DelayHour", [this] { form_.DelayDayChange(); }), 1, 1);
    grid->addWidget(BindList(form_.DelayMinute, "DelayMinute", [this] { form_.DelayDayChange(); }), 1, 2);
    QLabel* total = BindLabel(form_.TotalMinutesLabel, "TotalMinutesLabel");
    total->setFrameShape(QFrame::StyledPanel);
    total->setFrameShadow(QFrame::Sunken);
    total->setMinimumWidth(60);
    grid->addWidget(total, 1, 3);
    grid->addWidget(BindButton(form_.cmdCalculate, "cmdCalculate", [this] { OpenCalculator(); }), 1, 5);
    grid->setColumnStretch(4, 1);
    PageLayout(page)->addSpacing(4);
    PageLayout(page)->addLayout(grid);
    auto* startRow = new QHBoxLayout;
    startRow->setSpacing(8);
    startRow->addWidget(BindLabel(form_.StartDateCaption, "StartDateCaption"));
    startRow->addWidget(BindLabel(form_.StartDateLabel, "StartDateLabel"), 1);
    PageLayout(page)->addSpacing(4);
    PageLayout(page)->addLayout(startRow);
    PageLayout(page)->addStretch(1);
}

void WizardTabView::BuildSampleRatePage() {
    QWidget* page = AddPage(5);
    AddText(page, 5, 0);
    auto* row = new QHBoxLayout;
    row->addWidget(BindList(form_.SampleMinutes, "SampleMinutes", [this] { form_.SampleMinutesChange(); }));
    row->addWidget(BindLabel(form_.SampleMinutesLabel, "SampleMinutesLabel"));
    row->addStretch(1);
    PageLayout(page)->addSpacing(6);
    PageLayout(page)->addLayout(row);
    PageLayout(page)->addStretch(1);
}

void WizardTabView::BuildThresholdPage() {
    QWidget* page = AddPage(6);
    AddText(page, 6, 0);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(1);
    grid->addWidget(BindLabel(form_.HighThresholdCaption, "HighThresholdCaption"), 0, 0);
    grid->addWidget(BindLabel(form_.LowThresholdCaption, "LowThresholdCaption"), 0, 1);
    grid->addWidget(BindList(form_.HighThreshold, "HighThreshold", {}), 1, 0);
    grid->addWidget(BindList(form_.LowThreshold, "LowThreshold", {}), 1, 1);
    grid->addWidget(BindLabel(form_.DegreeLabel, "DegreeLabel"), 1, 2);
    grid->setColumnStretch(3, 1);
    PageLayout(page)->addLayout(grid);
    PageLayout(page)->addSpacing(4);
    PageLayout(page)->addWidget(BindLabel(form_.TempSearchCaption, "TempSearchCaption"));
    auto* checks = new QHBoxLayout;
    checks->addWidget(BindCheck(form_.ConditionalOnTempHighCheck, "ConditionalOnTempHighCheck"));
    checks->addSpacing(12);
    checks->addWidget(BindCheck(form_.ConditionalOnTempLowCheck, "ConditionalOnTempLowCheck"));
    checks->addStretch(1);
    PageLayout(page)->addLayout(checks);
    PageLayout(page)->addStretch(1);
}

void WizardTabView::BuildRolloverPage() {
    QWidget* page = AddPage(7);
    AddText(page, 7, 0);
    AddText(page, 7, 1);
    QLabel* days = BindLabel(form_.RolloverDays, "RolloverDays");
    days->setContentsMargins(20, 0, 0, 0);
    PageLayout(page)->addWidget(days);
    AddText(page, 7, 2);
    PageLayout(page)->addWidget(BindCheck(form_.RolloverCheck, "RolloverCheck"));
    PageLayout(page)->addStretch(1);
}

void WizardTabView::BuildFinishPage() {
    QWidget* page = AddPage(8);
    AddText(page, 8, 0);
    finishMemo_ = new QPlainTextEdit(page);
    finishMemo_->setObjectName("FinishMemo");
    UseRegularWeight(finishMemo_);
    finishMemo_->setReadOnly(true);
    finishMemo_->setLineWrapMode(QPlainTextEdit::NoWrap);
    PageLayout(page)->addWidget(finishMemo_, 1);
}

void WizardTabView::UserEdited(int index, const QString& text) {
    QLineEdit* edit = userEdits_[index];
    Forward([this, index, edit, &text] {
        form_.EditUserChange(index, text.toStdString());
        // The edit keeps showing what is stored: a character Windows-1252 cannot hold shows as its '?'.
        const QString shown = ToQString(form_.edituser[index].Text);
        if (edit->text() != shown) {
            const int cursor = std::min(edit->cursorPosition(), static_cast<int>(shown.size()));
            edit->setText(shown);
            edit->setCursorPosition(cursor);
        }
    });
}

void WizardTabView::Forward(const std::function<void()>& change) {
    change();
    if (afterEvent_)
        afterEvent_();
    else
        Sync();
}

void WizardTabView::OpenCalculator() {
    CalculatorDialog dialog(form_, calculator_, this);
    dialog.exec();
}

void WizardTabView::Sync() {
    ApplyState(pages_, form_.Wizard);
    const int page = std::clamp(form_.Wizard.PageIndex, 0, WizardControls::kPageCount - 1);
    if (pages_->currentIndex() != page) pages_->setCurrentIndex(page);

    for (int i = 0; i < 6; ++i) {
        const EditControl& control = form_.edituser[i];
        QLineEdit* edit = userEdits_[i];
        ApplyState(edit, control);
        const int maxLength = control.MaxLength > 0 ? control.MaxLength : 32767;
        if (edit->maxLength() != maxLength) edit->setMaxLength(maxLength);
        const QString text = ToQString(control.Text);
        if (edit->text() != text) edit->setText(text);
    }
    ApplyState(hidePanel_, form_.HidePanel);
    bindings_.Apply();

    ApplyState(finishMemo_, form_.FinishMemo);
    if (shownMemoRevision_ != form_.FinishMemo.Revision) {
        QStringList lines;
        for (const std::string& line : form_.FinishMemo.Items) lines << ToQString(line);
        finishMemo_->setPlainText(lines.join('\n'));
        shownMemoRevision_ = form_.FinishMemo.Revision;
    }
}
