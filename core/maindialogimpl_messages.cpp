#include "core/maindialogimpl.h"

#include "core/fileaccess.h"
#include "core/outputfile.h"

using FileAccess::Status;

// A picture that cannot be read has no format; one that does not decode
// whole is not a 128x64 picture.
QString maindialogImpl::pictureMessage(Status status)
{
    if (status == Status::Ok)
        return QString();
    if (FileAccess::neverRead(status) || status == Status::UnknownFormat
        || status == Status::BadLength)
        return tr("Format d'image inconnu\n(Bitmap ou PNG uniquement)");
    return tr("Taille de l'image différente\nde 128 * 64 pixels");
}

QString maindialogImpl::binaryMessage(Status status)
{
    if (status == Status::Ok)
        return QString();
    return FileAccess::neverRead(status) ? tr("Fichier Introuvable !") : tr("Mauvais Format");
}

QString maindialogImpl::writeMessage(OutputFile::Status status)
{
    return status == OutputFile::Status::Ok ? QString() : tr("Erreur fichier !");
}
