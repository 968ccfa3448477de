#include "core/maindialogimpl.h"

#include "output/exportfields.h"
#include "output/exporttext.h"

#include <QFileDialog>
#include <QLCDNumber>
#include <QRadioButton>

void maindialogImpl::exportChanged(int id)
{
    ExportFields fields;
    if (ExportText::preset(id, fields))
        setExportFields(fields);
}

void maindialogImpl::exportText(QString &text)
{
    text += ExportText::generate(exportFields(), LCDNumber3->intValue(), BtnPICasm->isChecked(),
                                 binData);
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
