#include "platform/vcl/StdCtrls.h"

#include <QFocusEvent>

TComboBox::TComboBox(QWidget* parent) : QComboBox(parent) {
    setEditable(false);
}

void TComboBox::showPopup() {
    if (OnDropDown)
        OnDropDown();
    QComboBox::showPopup();
}

void TComboBox::focusInEvent(QFocusEvent* event) {
    QComboBox::focusInEvent(event);
    if (OnEnter)
        OnEnter();
}
