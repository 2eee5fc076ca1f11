#pragma once
// Mirrors the core's control state into widgets. The view calls these after
// every event it forwards to the form; nothing here decides anything.
#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <utility>
#include <vector>

#include "app/Controls.h"
#include "files/FilePath.h"
#include "model/Win1252.h"

// Program text (Windows-1252, with shown paths in the file system's spelling) for a widget.
inline QString ToQString(const std::string& win1252) {
    return QString::fromStdString(ShownTextToUtf8(win1252));
}
inline std::string FromQString(const QString& text) { return Utf8ToWin1252(text.toStdString()); }
// A path is no program text: it passes between Qt and the core as the file system's bytes.
inline FilePath PathFromQString(const QString& path) {
    return FilePath(QFile::encodeName(path).toStdString());
}
inline QString PathToQString(const FilePath& path) {
    return QFile::decodeName(QByteArray::fromStdString(path.Native()));
}

inline void ApplyState(QWidget* widget, const Control& control) {
    if (widget->isEnabled() != control.Enabled) widget->setEnabled(control.Enabled);
    if (widget->isVisibleTo(widget->parentWidget()) != control.Visible) widget->setVisible(control.Visible);
}

inline void ApplyCaption(QLabel* label, const Control& control) {
    ApplyState(label, control);
    const QString text = ToQString(control.Caption);
    if (label->text() != text) label->setText(text);
}

inline void ApplyCaption(QAbstractButton* button, const Control& control) {
    ApplyState(button, control);
    const QString text = ToQString(control.Caption);
    if (button->text() != text) button->setText(text);
}

inline void ApplyCheck(QAbstractButton* button, const CheckControl& control) {
    ApplyCaption(button, control);
    if (button->isChecked() != control.Checked) button->setChecked(control.Checked);
}

// Lists carry a revision so that a 2048-line log is only copied when it changed.
// A drop-down also follows a choice stored without a new revision.
template <typename ListWidget>
void ApplyList(ListWidget* widget, const ListControl& control, std::uint64_t& shownRevision) {
    ApplyState(widget, control);
    const QSignalBlocker block(widget);
    if (shownRevision != control.Revision || widget->count() != static_cast<int>(control.Items.size())) {
        widget->clear();
        QStringList items;
        items.reserve(static_cast<int>(control.Items.size()));
        for (const auto& item : control.Items) items << ToQString(item);
        widget->addItems(items);
        if constexpr (!std::is_same_v<ListWidget, QComboBox>) widget->setCurrentRow(control.ItemIndex);
        shownRevision = control.Revision;
    }
    if constexpr (std::is_same_v<ListWidget, QComboBox>) {
        const int index = control.ItemIndex < widget->count() ? control.ItemIndex : -1;
        if (widget->currentIndex() != index) widget->setCurrentIndex(index);
    }
}

inline void ApplyCaption(QGroupBox* group, const Control& control) {
    ApplyState(group, control);
    const QString text = ToQString(control.Caption);
    if (group->title() != text) group->setTitle(text);
}

// Menu items keep their check mark only when the form says so; an item that
// was ever checked stays checkable so the mark can come and go.
inline void ApplyMenu(QAction* action, const MenuItem& item) {
    const QString text = ToQString(item.Caption);
    if (action->text() != text) action->setText(text);
    if (action->isEnabled() != item.Enabled) action->setEnabled(item.Enabled);
    if (action->isVisible() != item.Visible) action->setVisible(item.Visible);
    if (item.Checked && !action->isCheckable()) action->setCheckable(true);
    if (action->isChecked() != item.Checked) action->setChecked(item.Checked);
}

// The widgets of one view, each with the control it shows; Apply mirrors them all.
class ControlBindings {
public:
    void Add(QLabel* label, const Control& control) { labels_.emplace_back(label, &control); }
    void Add(QAbstractButton* button, const Control& control) { buttons_.emplace_back(button, &control); }
    void AddCheck(QAbstractButton* box, const CheckControl& control) { checks_.emplace_back(box, &control); }
    void Add(QComboBox* box, const ListControl& control) {
        lists_.push_back({box, &control, ~std::uint64_t{0}});
    }

    // After the user's own choice: the drop-down already shows the control's new revision.
    void ChoiceShown(const ListControl& control) {
        for (ListBinding& list : lists_)
            if (list.control == &control) list.shownRevision = control.Revision;
    }

    QLabel* LabelOf(const Control& control) const {
        for (const auto& [label, bound] : labels_)
            if (bound == &control) return label;
        return nullptr;
    }

    void Apply() {
        for (const auto& [label, control] : labels_) ApplyCaption(label, *control);
        for (const auto& [box, control] : checks_) ApplyCheck(box, *control);
        for (const auto& [button, control] : buttons_) ApplyCaption(button, *control);
        for (ListBinding& list : lists_) ApplyList(list.widget, *list.control, list.shownRevision);
    }

private:
    struct ListBinding {
        QComboBox* widget;
        const ListControl* control;
        std::uint64_t shownRevision;
    };
    std::vector<std::pair<QLabel*, const Control*>> labels_;
    std::vector<std::pair<QAbstractButton*, const CheckControl*>> checks_;
    std::vector<std::pair<QAbstractButton*, const Control*>> buttons_;
    std::vector<ListBinding> lists_;
};
