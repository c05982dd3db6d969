#include "info/CapabilitiesForm.h"

#include "info/CapabilitiesReport.h"

#include <QPlainTextEdit>
#include <QPushButton>

TForm2* Form2 = nullptr;

TForm2::TForm2(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      // Made first so that it comes first in the focus order.
      Button1(new QPushButton("&OK", this)), Memo1(new QPlainTextEdit("Memo1", this)) {
    setWindowTitle("Audio device capabilities");
    setFixedSize(521, 309);
    move(299, 225);

    Memo1->setGeometry(8, 8, 505, 249);
    Memo1->setReadOnly(true);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);

    Button1->setGeometry(232, 272, 75, 25);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    setTabOrder(Button1, Memo1);
}

void ShowCapabilitiesReport(TForm2& form) {
    form.Memo1->clear();
    for (const std::string& line : CapabilitiesReport())
        form.Memo1->appendPlainText(QString::fromStdString(line));
    form.exec();
}
