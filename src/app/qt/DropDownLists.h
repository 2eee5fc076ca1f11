#pragma once
// The window's drop-down lists as users expect them: an open list is at most
// a screenful that scrolls, and typed characters pick the entry they spell
// ("11" the eleventh month, "25" a rate of 25 minutes).
#include <QProxyStyle>
#include <QStringList>

class QComboBox;

// The application's style with lists that honour their visible-item limit
// (Fusion otherwise opens a 255-entry list as tall as its entries).
class DropDownStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    int styleHint(StyleHint hint, const QStyleOption* option = nullptr, const QWidget* widget = nullptr,
                  QStyleHintReturn* returnData = nullptr) const override;
};

// The first entry starting with typed (any case); -1 when none does.
int TypedItem(const QStringList& items, const QString& typed);

// Typing on the list, closed or open, selects by the characters typed so far
// (a pause of a second starts again); a character that continues no entry
// starts a new search with itself. A closed list reports the choice as the
// user's (activated), an open one moves its highlight for Enter to take.
void EnableTypedChoice(QComboBox* box);
