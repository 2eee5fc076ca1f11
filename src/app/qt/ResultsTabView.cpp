#include "app/qt/ResultsTabView.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/TTRecForm.h"
#include "app/qt/ControlBinding.h"

namespace {
QListWidget* MakeList(const QFont& base) {
    auto* list = new QListWidget;
    // A narrow face keeps the longest alarm and log lines inside the fixed window.
    QFont font = base;
    font.setFamily(QStringLiteral("Arial Narrow"));
    font.setFamilies(
        {QStringLiteral("Arial Narrow"), QStringLiteral("Liberation Sans Narrow"), QStringLiteral("Arial")});
    font.setBold(false);
    font.setPointSize(9);
    list->setFont(font);
    list->setUniformItemSizes(true);  // 2048 log lines lay out at once
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    return list;
}

QVBoxLayout* GroupLayout(QGroupBox* group) {
    auto* layout = new QVBoxLayout(group);
    layout->setContentsMargins(2, 1, 2, 2);
    layout->setSpacing(1);
    return layout;
}
}  // namespace

ResultsTabView::ResultsTabView(TTRecForm& form, std::function<void()> afterEvent, QWidget* parent)
    : QWidget(parent),
      form_(form),
      afterEvent_(std::move(afterEvent)),
      logBox_(new QGroupBox),
      alarmBox_(new QGroupBox),
      histBox_(new QGroupBox),
      optionsBox_(new QGroupBox(QStringLiteral("View Options"))),
      logSyntax_(new QLabel),
      histSyntax_(new QLabel),
      logList_(MakeList(font())),
      alarmList_(MakeList(font())),
      histList_(MakeList(font())),
      readButton_(new QPushButton),
      detailsButton_(new QPushButton),
      graphLogButton_(new QPushButton),
      graphHistButton_(new QPushButton),
      graphAlarmsCheck_(new QCheckBox) {
    QVBoxLayout* log = GroupLayout(logBox_);
    log->addWidget(logSyntax_);
    log->addWidget(logList_);
    GroupLayout(alarmBox_)->addWidget(alarmList_);
    QVBoxLayout* hist = GroupLayout(histBox_);
    hist->addWidget(histSyntax_);
    hist->addWidget(histList_);

    BuildRadio(logRadio_, form.LogRadio, [&form] { form.LogRadioClick(); });
    BuildRadio(histRadio_, form.HistRadio, [&form] { form.HistRadioClick(); });
    QVBoxLayout* options = GroupLayout(optionsBox_);
    options->setContentsMargins(2, 1, 2, 3);
    options->addWidget(logRadio_.box);
    options->addWidget(histRadio_.box);
    options->addStretch(1);
    options->addWidget(readButton_);
    options->addWidget(detailsButton_);
    connect(readButton_, &QPushButton::clicked, this, [this] {
        form_.ReadButtonClick();
        afterEvent_();
    });
    connect(detailsButton_, &QPushButton::clicked, this, [this] {
        form_.btnDetailsClick();
        afterEvent_();
    });

    connect(graphLogButton_, &QPushButton::clicked, this, [this] {
        form_.GraphLogButtonClick();
        afterEvent_();
    });
    connect(graphHistButton_, &QPushButton::clicked, this, [this] {
        form_.GraphHistButtonClick();
        afterEvent_();
    });
    connect(graphAlarmsCheck_, &QCheckBox::clicked, this, [this](bool checked) {
        form_.GraphAlarmsCheck.Checked = checked;
        afterEvent_();
    });
    // The graph row under the lists: two buttons and the threshold choice.
    auto* graphs = new QHBoxLayout;
    graphs->setContentsMargins(2, 0, 2, 0);
    graphs->setSpacing(4);
    QFont plain = graphAlarmsCheck_->font();
    plain.setBold(false);
    graphAlarmsCheck_->setFont(plain);
    graphs->addWidget(graphLogButton_);
    graphs->addWidget(graphHistButton_);
    graphs->addSpacing(4);
    graphs->addWidget(graphAlarmsCheck_, 1);

    // The groups keep their place when hidden, so the others do not jump about.
    for (QWidget* box : {static_cast<QWidget*>(logBox_), static_cast<QWidget*>(alarmBox_),
                         static_cast<QWidget*>(histBox_), static_cast<QWidget*>(detailsButton_)}) {
        QSizePolicy policy = box->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        box->setSizePolicy(policy);
    }

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(2, 2, 2, 2);
    grid->setSpacing(2);
    grid->addWidget(logBox_, 0, 0, 2, 1);
    grid->addWidget(alarmBox_, 0, 1);
    grid->addWidget(histBox_, 1, 1);
    grid->addWidget(optionsBox_, 0, 2, 2, 1);
    grid->addLayout(graphs, 2, 0, 1, 3);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 0);
    optionsBox_->setMaximumWidth(121);
    Sync();
}

void ResultsTabView::BuildRadio(RadioGroup& group, RadioGroupControl& control,
                                std::function<void()> handler) {
    group.box = new QGroupBox;
    group.layout = GroupLayout(group.box);
    group.layout->setContentsMargins(3, 0, 2, 2);
    group.buttons = new QButtonGroup(group.box);
    connect(group.buttons, &QButtonGroup::idClicked, this,
            [this, &control, handler = std::move(handler)](int id) {
                control.Select(id);
                handler();
                afterEvent_();
            });
    SyncRadio(group, control);
}

void ResultsTabView::SyncRadio(RadioGroup& group, const RadioGroupControl& control) {
    ApplyCaption(group.box, control);
    while (group.items.size() < control.Items.size()) {
        auto* button = new QRadioButton;
        QFont plain = button->font();
        plain.setBold(false);
        button->setFont(plain);
        group.buttons->addButton(button, static_cast<int>(group.items.size()));
        group.layout->addWidget(button);
        group.items.push_back(button);
    }
    for (std::size_t i = 0; i < group.items.size(); ++i) {
        QRadioButton* button = group.items[i];
        const bool present = i < control.Items.size();
        button->setVisible(present);
        if (!present) continue;
        const QString text = ToQString(control.Items[i]);
        if (button->text() != text) button->setText(text);
        const bool checked = static_cast<int>(i) == control.ItemIndex;
        if (button->isChecked() != checked) {
            // An exclusive group cannot uncheck its last button directly.
            group.buttons->setExclusive(false);
            button->setChecked(checked);
            group.buttons->setExclusive(true);
        }
    }
}

void ResultsTabView::Sync() {
    ApplyCaption(logBox_, form_.LogBox);
    ApplyCaption(alarmBox_, form_.AlarmBox);
    ApplyCaption(histBox_, form_.HistogramBox);
    ApplyCaption(logSyntax_, form_.LogSyntax);
    ApplyCaption(histSyntax_, form_.HistSyntax);
    ApplyList(logList_, form_.LogList, logRevision_);
    ApplyList(alarmList_, form_.AlarmList, alarmRevision_);
    ApplyList(histList_, form_.HistList, histRevision_);
    SyncRadio(logRadio_, form_.LogRadio);
    SyncRadio(histRadio_, form_.HistRadio);
    ApplyCaption(readButton_, form_.ReadButton);
    ApplyCaption(detailsButton_, form_.btnDetails);
    ApplyCaption(graphLogButton_, form_.GraphLogButton);
    ApplyCaption(graphHistButton_, form_.GraphHistButton);
    ApplyCheck(graphAlarmsCheck_, form_.GraphAlarmsCheck);
}
