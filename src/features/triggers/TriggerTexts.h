#pragma once

#include <QString>

// The texts of the triggers page that depend on a trigger.
namespace TriggerTexts {

// "Built-in" or "Custom".
QString kind(bool isBuiltIn);

// A name as one line for drawing in a row: line breaks, tabs and other control characters show
// as blanks. The stored name is never changed.
QString singleLine(const QString &name);

// The delete confirmation: "Delete “name”?". A name longer than `maxCharacters` user-perceived
// characters is cut with an ellipsis so the dialog keeps its size; right-to-left or bidi-control
// text is isolated so the quotes and the question mark stay in place.
QString deleteTitle(const QString &name, int maxCharacters = 60);
QString deleteMessage();

} // namespace TriggerTexts
