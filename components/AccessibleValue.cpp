#include "components/AccessibleValue.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QWidget>

namespace {

// Kept as a child of the widget, so it lives and dies with it.
class TReader : public QObject {
public:
    TReader(QWidget* Owner, std::function<QString()> Fn) : QObject(Owner), FRead(std::move(Fn)) {}
    QString Read() const { return FRead ? FRead() : QString(); }

private:
    std::function<QString()> FRead;
};

const TReader* ReaderOf(const QObject* Object)
{
    if (Object)
        for (const QObject* Child : Object->children())
            if (const auto* Reader = dynamic_cast<const TReader*>(Child))
                return Reader;
    return nullptr;
}

// A picture that reads out: its name and description as the widget has them, and
// its value from the reader.
class TReadableWidget : public QAccessibleWidget {
public:
    explicit TReadableWidget(QWidget* Widget) : QAccessibleWidget(Widget, QAccessible::StaticText) {}
    QString text(QAccessible::Text Kind) const override
    {
        if (Kind == QAccessible::Value)
            return AccessibleValue::Read(widget());
        return QAccessibleWidget::text(Kind);
    }
};

QAccessibleInterface* Factory(const QString&, QObject* Object)
{
    if (auto* Widget = qobject_cast<QWidget*>(Object); Widget && ReaderOf(Widget))
        return new TReadableWidget(Widget);
    return nullptr;
}

} // namespace

namespace AccessibleValue {

void SetReader(QWidget* Widget, std::function<QString()> Reader)
{
    static const bool Installed = [] {
        QAccessible::installFactory(Factory);
        return true;
    }();
    Q_UNUSED(Installed);
    delete ReaderOf(Widget);
    new TReader(Widget, std::move(Reader));
    // An interface made before the reader came (a name set first) would never read.
    if (QAccessibleInterface* Made = QAccessible::queryAccessibleInterface(Widget);
        Made && !dynamic_cast<TReadableWidget*>(Made))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(Made));
}

QString Read(const QWidget* Widget)
{
    const TReader* Reader = ReaderOf(Widget);
    return Reader ? Reader->Read() : QString();
}

} // namespace AccessibleValue
