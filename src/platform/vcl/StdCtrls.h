// A drop-down list that tells when it gains the focus and when its list is about to open.
#pragma once

#include <QComboBox>
#include <functional>

class TComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit TComboBox(QWidget* parent);

    std::function<void()> OnEnter;
    std::function<void()> OnDropDown;

    // -1 when nothing is selected.
    int ItemIndex() const { return currentIndex(); }
    void SetItemIndex(int index) { setCurrentIndex(index); }

    void showPopup() override;

protected:
    void focusInEvent(QFocusEvent* event) override;
};
