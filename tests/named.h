// The windows keep their controls private: tests reach them by object name, as a
// user's tools would, and a missing name stops the test at once.
#pragma once

#include <QObject>
#include <QPlainTextEdit>
#include <QString>
#include <QtGlobal>

template <class T>
T* Named(const QObject* Window, const QString& Name)
{
    T* Found = Window->findChild<T*>(Name);
    if (!Found)
        qFatal("%s has no %s named %s", qPrintable(Window->objectName()), T::staticMetaObject.className(),
               qPrintable(Name));
    return Found;
}

// A tape window's text pane.
inline QPlainTextEdit* TapePane(const QObject* TapeWindow)
{
    return Named<QPlainTextEdit>(TapeWindow, QStringLiteral("memoTape"));
}
