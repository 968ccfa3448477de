#include "core/maindialogimpl.h"

#include "output/exportfields.h"
#include "output/exporttext.h"

#include <QFileDialog>
#include <QLCDNumber>
#include <QLineEdit>
#include <QRadioButton>

void maindialogImpl::exportChanged(int id)
{
    ExportFields fields;
    if (!ExportText::preset(id, fields))
        return;
    LineComment->setText(fields.comment);
    LineDebutTab->setText(fields.tableStart);
    LineFinTab->setText(fields.tableEnd);
    LineDebutLigne->setText(fields.lineStart);
    LineDebutHexa->setText(fields.hexPrefix);
    LineSeparateur->setText(fields.separator);
}

void maindialogImpl::exportText(QString &text)
{
    const ExportFields fields{LineComment->text(),    LineDebutTab->text(),
                              LineFinTab->text(),     LineDebutLigne->text(),
                              LineDebutHexa->text(),  LineSeparateur->text()};
    text += ExportText::generate(fields, LCDNumber3->intValue(), BtnPICasm->isChecked(), binData);
}

void maindialogImpl::exportClick()
{
    const QString filter = BtnPICasm->isChecked() ? tr("Source assembler (*.asm)")
                                                  : tr("Source c (*.c)");
    const QString fileName = askSaveFileName(filter);
    if (fileName.isEmpty() || confirmOverwrite(fileName))
        return;
    QString text;
    exportText(text);
    // A character the file's encoding cannot hold would silently become
    // another one in the firmware source: refuse instead.
    if (!ExportText::isLatin1(text)) {
        warn(tr("Un délimiteur contient des caractères que l'ISO 8859-1 ne peut pas "
                "représenter.\nAucun fichier n'a été écrit."));
        return;
    }
    if (!writeFile(fileName, ExportText::encode(text)))
        return;
    showStatus(tr("%1 exporté").arg(fileName));
}
