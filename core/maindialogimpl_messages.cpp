#include "core/maindialogimpl.h"

#include "core/fileaccess.h"
#include "core/outputfile.h"

using FileAccess::Status;

// A picture that cannot be read has no format; one that does not decode
// whole is not a 128x64 picture.
QString maindialogImpl::pictureMessage(Status status)
{
    switch (status) {
    case Status::Ok:
        return QString();
    case Status::Missing:
    case Status::NotAFile:
    case Status::Stream:
    case Status::Unreadable:
    case Status::UnknownFormat:
    case Status::BadLength:
        return tr("Format d'image inconnu\n(Bitmap ou PNG uniquement)");
    case Status::TooLong:
    case Status::Damaged:
    case Status::WrongSize:
    case Status::TooLarge:
        break;
    }
    return tr("Taille de l'image différente\nde 128 * 64 pixels");
}

QString maindialogImpl::binaryMessage(Status status)
{
    switch (status) {
    case Status::Ok:
        return QString();
    case Status::Missing:
    case Status::NotAFile:
    case Status::Stream:
    case Status::Unreadable:
        return tr("Fichier Introuvable !");
    default:
        return tr("Mauvais Format");
    }
}

QString maindialogImpl::writeMessage(OutputFile::Status status)
{
    return status == OutputFile::Status::Ok ? QString() : tr("Erreur fichier !");
}
