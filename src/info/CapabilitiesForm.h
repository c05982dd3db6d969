// TForm2, the capabilities dialog: a read-only memo that shows the device report, and OK.
#pragma once

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

class TForm2 : public QDialog {
    Q_OBJECT
public:
    explicit TForm2(QWidget* owner);

    QPushButton* Button1;
    QPlainTextEdit* Memo1;
};

// The one instance, made at start-up and serving every report.
extern TForm2* Form2;

// Replaces the memo's text with a fresh report and shows the dialog modally.
void ShowCapabilitiesReport(TForm2& form);
