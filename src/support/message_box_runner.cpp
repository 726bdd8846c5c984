// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/message_box_runner.h"

#include "ext/text.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

constexpr int kAccessoryWidth = 310;
constexpr int kAccessoryHeight = 24;
constexpr int kTextViewHeight = 200;
constexpr int kMatrixWidth = 269;
constexpr int kMatrixRowHeight = 17;

void showColor(QPushButton* well, const QColor& color) {
    well->setProperty("color", color);
    well->setStyleSheet(QStringLiteral("background-color: %1").arg(color.name(QColor::HexArgb)));
}

}  // namespace

AlertAnswer MessageBoxRunner::run(const AlertPanel& panel) {
    QMessageBox box;
    box.setWindowTitle(panel.title);
    box.setText(panel.title);
    box.setInformativeText(panel.message);
    box.setIconPixmap(QApplication::windowIcon().pixmap(64, 64));

    QList<QAbstractButton*> buttons;
    const QStringList titles =
        panel.buttons.isEmpty() ? QStringList{localized(QStringLiteral("OK"))} : panel.buttons;
    const QMessageBox::ButtonRole roles[] = {QMessageBox::AcceptRole, QMessageBox::RejectRole,
                                             QMessageBox::ActionRole};
    for (qsizetype index = 0; index < titles.size() && index < 3; ++index) {
        buttons.append(box.addButton(titles.at(index), roles[index]));
    }
    box.setDefaultButton(qobject_cast<QPushButton*>(buttons.constFirst()));
    box.setEscapeButton(buttons.constLast());

    // Accessory controls go in a row of the box's own grid, below the text.
    QWidget* accessory = nullptr;
    QLineEdit* field = nullptr;
    QPlainTextEdit* textView = nullptr;
    QComboBox* popup = nullptr;
    QButtonGroup* matrix = nullptr;
    QPushButton* well = nullptr;
    switch (panel.accessory) {
        case AlertPanel::Accessory::None:
            break;
        case AlertPanel::Accessory::Input:
        case AlertPanel::Accessory::SecureInput:
            field = new QLineEdit(panel.text);
            field->setFixedSize(kAccessoryWidth, kAccessoryHeight);
            if (panel.accessory == AlertPanel::Accessory::SecureInput) {
                field->setEchoMode(QLineEdit::Password);
            }
            accessory = field;
            break;
        case AlertPanel::Accessory::Checkbox:
        case AlertPanel::Accessory::Suppression: {
            auto* check = new QCheckBox(panel.checkboxTitle);
            check->setChecked(panel.checked);
            box.setCheckBox(check);
            break;
        }
        case AlertPanel::Accessory::Colorwell:
            well = new QPushButton;
            well->setFixedSize(kAccessoryWidth, kAccessoryHeight);
            showColor(well, panel.color);
            QObject::connect(well, &QPushButton::clicked, well, [well] {
                const QColor chosen =
                    QColorDialog::getColor(well->property("color").value<QColor>(), well);
                if (chosen.isValid()) {
                    showColor(well, chosen);
                }
            });
            accessory = well;
            break;
        case AlertPanel::Accessory::InputText:
        case AlertPanel::Accessory::OutputText:
            textView = new QPlainTextEdit(panel.text);
            textView->setFixedSize(kAccessoryWidth, kTextViewHeight);
            textView->setFrameShape(QFrame::NoFrame);
            textView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            textView->setLineWrapMode(QPlainTextEdit::WidgetWidth);
            textView->setReadOnly(panel.accessory == AlertPanel::Accessory::OutputText);
            accessory = textView;
            break;
        case AlertPanel::Accessory::SelectionPopup:
            popup = new QComboBox;
            popup->addItems(panel.entries);
            popup->setFixedSize(kAccessoryWidth, kAccessoryHeight);
            accessory = popup;
            break;
        case AlertPanel::Accessory::SelectionMatrix: {
            accessory = new QWidget;
            auto* column = new QVBoxLayout(accessory);
            column->setContentsMargins(0, 0, 0, 0);
            column->setSpacing(0);
            matrix = new QButtonGroup(accessory);
            for (qsizetype row = 0; row < panel.entries.size(); ++row) {
                auto* radio = new QRadioButton(panel.entries.at(row));
                radio->setFixedSize(kMatrixWidth, kMatrixRowHeight);
                radio->setChecked(row == 0);
                matrix->addButton(radio, int(row));
                column->addWidget(radio);
            }
            break;
        }
    }
    if (accessory != nullptr) {
        if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
            grid->addWidget(accessory, grid->rowCount(), 1, 1, grid->columnCount() - 1);
        }
    }

    if (panel.bringToFront) {
        box.show();
        box.raise();
        box.activateWindow();
    }
    box.exec();

    AlertAnswer answer;
    const qsizetype index = buttons.indexOf(box.clickedButton());
    answer.code = kAlertFirstButton + int(index < 0 ? buttons.size() - 1 : index);
    if (box.checkBox() != nullptr) {
        answer.checked = box.checkBox()->isChecked();
    }
    if (field != nullptr) {
        answer.text = field->text();
    }
    if (textView != nullptr) {
        answer.text = textView->toPlainText();
    }
    if (popup != nullptr) {
        answer.index = popup->currentIndex();
    }
    if (matrix != nullptr) {
        answer.index = qMax(0, matrix->checkedId());
    }
    if (well != nullptr) {
        answer.color = well->property("color").value<QColor>();
    }
    return answer;
}
