#include "app/qt/DropDownLists.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QKeyEvent>

namespace {
constexpr int kTypingPauseMs = 1000;

class TypedChoice : public QObject {
public:
    explicit TypedChoice(QComboBox* box) : QObject(box), box_(box) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
        const auto* key = static_cast<QKeyEvent*>(event);
        const QString text = key->text();
        if (text.size() != 1 || !text[0].isPrint() || text[0].isSpace() ||
            (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
            return false;
        const int pause = std::max(kTypingPauseMs, QApplication::keyboardInputInterval());
        if (!since_.isValid() || since_.elapsed() > pause) typed_.clear();
        since_.restart();

        QStringList items;
        for (int i = 0; i < box_->count(); ++i) items << box_->itemText(i);
        int index = TypedItem(items, typed_ + text);
        if (index >= 0) {
            typed_ += text;
        } else {
            typed_ = text;
            index = TypedItem(items, typed_);
        }
        // Swallowed either way: the list's own search would cycle through "1", "10" ... on "11".
        if (index < 0) return true;
        QAbstractItemView* view = box_->view();
        if (view->isVisible()) {
            view->setCurrentIndex(box_->model()->index(index, box_->modelColumn(), box_->rootModelIndex()));
        } else if (index != box_->currentIndex()) {
            box_->setCurrentIndex(index);
            emit box_->activated(index);
        }
        return true;
    }

private:
    QComboBox* box_;
    QString typed_;
    QElapsedTimer since_;
};
}  // namespace

int DropDownStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                             QStyleHintReturn* returnData) const {
    if (hint == SH_ComboBox_Popup) return 0;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

int TypedItem(const QStringList& items, const QString& typed) {
    if (typed.isEmpty()) return -1;
    for (int i = 0; i < items.size(); ++i)
        if (items[i].startsWith(typed, Qt::CaseInsensitive)) return i;
    return -1;
}

void EnableTypedChoice(QComboBox* box) {
    auto* filter = new TypedChoice(box);
    box->installEventFilter(filter);
    box->view()->installEventFilter(filter);
}
