#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// A value chosen by its name, as options spell it. One table per kind of
// value, so that the names accepted and the names listed never differ.
template <typename T>
struct Named
{
    const char *name;
    T value;
};

// Names are matched regardless of case: "Floyd-Steinberg" is floyd-steinberg.
template <typename T>
bool valueNamed(const QList<Named<T>> &table, const QString &name, T &value)
{
    for (const Named<T> &entry : table) {
        if (name.compare(QLatin1String(entry.name), Qt::CaseInsensitive) == 0) {
            value = entry.value;
            return true;
        }
    }
    return false;
}

template <typename T>
QStringList namesOf(const QList<Named<T>> &table)
{
    QStringList names;
    for (const Named<T> &entry : table)
        names << QLatin1String(entry.name);
    return names;
}
