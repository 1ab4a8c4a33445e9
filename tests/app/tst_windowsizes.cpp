#include "ProgramRig.h"

#include "windows/AccessEditor.h"
#include "windows/KeyByteEdit.h"
#include "windows/BaudRateWindow.h"
#include "windows/KeyStoreWindow.h"
#include "windows/LockBytesEditor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QStatusBar>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

namespace {

QString shown(QString text)
{
    return text.remove(QRegularExpression(QStringLiteral("&(?!&)")));
}

// Room the style leaves for a control's text, and the text's width in the control's
// font; for a box, its longest item.
struct Caption
{
    QString text;
    int needed = 0;
    int room = 0;
};

Caption captionOf(QWidget *widget)
{
    const QFontMetrics metrics = widget->fontMetrics();
    QStyle *style = widget->style();
    Caption c;
    if (auto *label = qobject_cast<QLabel *>(widget)) {
        c.text = shown(label->text());
        c.room = label->contentsRect().width() - 2 * label->margin() - qMax(0, label->indent());
    } else if (auto *button = qobject_cast<QAbstractButton *>(widget)) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        c.text = shown(button->text());
        const QStyle::SubElement contents = qobject_cast<QCheckBox *>(button)      ? QStyle::SE_CheckBoxContents
                                            : qobject_cast<QRadioButton *>(button) ? QStyle::SE_RadioButtonContents
                                                                                   : QStyle::SE_PushButtonContents;
        c.room = style->subElementRect(contents, &option, button).width();
    } else if (auto *group = qobject_cast<QGroupBox *>(widget)) {
        // The title sits in the frame; the box is wide enough when its layout says so.
        c.text = shown(group->title());
        c.needed = group->minimumSizeHint().width();
        c.room = group->width();
        return c;
    } else if (auto *box = qobject_cast<QComboBox *>(widget)) {
        QStyleOptionComboBox option;
        option.initFrom(box);
        option.editable = box->isEditable();
        c.room = style->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, box).width();
        for (int i = 0; i < box->count(); ++i) {
            if (metrics.horizontalAdvance(box->itemText(i)) > metrics.horizontalAdvance(c.text))
                c.text = box->itemText(i);
        }
    } else if (auto *edit = qobject_cast<KeyByteEdit *>(widget)) {
        QStyleOptionFrame option;
        option.initFrom(edit);
        const QMargins margins = edit->textMargins();
        c.text = QStringLiteral("DD"); // the widest byte the field may show
        c.room = style->subElementRect(QStyle::SE_LineEditContents, &option, edit).width() - margins.left()
            - margins.right() - 2 * 2;
    }
    c.needed = metrics.horizontalAdvance(c.text);
    return c;
}

// The texts of a table's cells (the access tables) and of a tab bar's tabs.
QList<Caption> cellCaptions(QWidget *widget)
{
    QList<Caption> captions;
    if (auto *table = qobject_cast<QTableWidget *>(widget)) {
        const QFontMetrics metrics(table->font());
        for (int row = 0; row < table->rowCount(); ++row) {
            for (int column = 0; column < table->columnCount(); ++column) {
                const QTableWidgetItem *item = table->item(row, column);
                if (item && !item->text().isEmpty())
                    captions.append({item->text(), metrics.horizontalAdvance(item->text()),
                                     table->visualItemRect(item).width() - 4}); // the cell's text margins
            }
        }
    } else if (auto *tabs = qobject_cast<QTabBar *>(widget)) {
        captions.append({tabs->tabText(0), tabs->sizeHint().width(), tabs->width()});
    }
    return captions;
}

// The visible captions of a window's widgets that do not fit, as "name 'text' needed>room".
QStringList clippedAmong(QWidget *window, const QList<QWidget *> &widgets)
{
    QStringList clipped;
    for (QWidget *widget : widgets) {
        if (!widget->isVisible() || widget->window() != window)
            continue;
        const QList<Caption> captions = cellCaptions(widget) << captionOf(widget);
        for (const Caption &c : captions) {
            if (!c.text.isEmpty() && c.needed > c.room)
                clipped << QStringLiteral("%1 '%2' %3>%4").arg(widget->objectName(), c.text).arg(c.needed).arg(c.room);
        }
    }
    return clipped;
}

// Every caption of a window that does not fit, the pages of its tab widgets included.
QStringList clippedCaptions(QWidget *window)
{
    QStringList clipped = clippedAmong(window, window->findChildren<QWidget *>());
    for (QTabWidget *tabs : window->findChildren<QTabWidget *>()) {
        if (tabs->window() != window)
            continue;
        const int shown = tabs->currentIndex();
        for (int i = 0; i < tabs->count(); ++i) {
            if (i == shown)
                continue;
            tabs->setCurrentIndex(i);
            clipped << clippedAmong(window, tabs->widget(i)->findChildren<QWidget *>());
        }
        tabs->setCurrentIndex(shown);
    }
    return clipped;
}

void showAll(ProgramWindows &windows)
{
    windows.main().show();
    windows.keyStore().show();
    windows.baudRate().show();
    windows.accessEditor().openForTrailer(CardType::Mifare4K, 131);
    windows.lockEditor().openWith("FF", "FF");
    QCoreApplication::processEvents();
}

} // namespace

// Every window sizes to its captions: none is cut, with the usual font and with a
// large one (the test runs again at twice the scale), and the main window fits a
// 1280x720 screen with every control in reach.
class TestWindowSizes : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_font = QApplication::font(); }
    void cleanup() { QApplication::setFont(m_font); }

    void captionsFit_data()
    {
        fontSizes();
        // Text at 200 % by font size alone, as a desktop's font scaling gives it.
        QTest::newRow("double size") << 2 * QApplication::font().pointSizeF();
    }
    void captionsFit()
    {
        QFETCH(qreal, points);
        if (points > 0) {
            QFont large = QApplication::font();
            large.setPointSizeF(points);
            QApplication::setFont(large);
        }
        ProgramRig rig;
        ProgramWindows &windows = rig.start();
        // A port name as long as the usual ones, and the longest block numbers.
        windows.main().ui().cmb_port->addItem(QStringLiteral("/dev/ttyUSB0"));
        windows.main().ui().cmb_tag_type->setCurrentIndex(int(CardType::Mifare4K));
        windows.main().tag_changeClick();
        showAll(windows);
        for (QWidget *window : {static_cast<QWidget *>(&windows.main()), static_cast<QWidget *>(&windows.keyStore()),
                                static_cast<QWidget *>(&windows.baudRate()),
                                static_cast<QWidget *>(&windows.accessEditor()),
                                static_cast<QWidget *>(&windows.lockEditor())}) {
            QVERIFY2(window->isVisible(), qPrintable(window->objectName()));
            // Lists filled on activation settle with the event loop.
            QTRY_VERIFY2(clippedCaptions(window).isEmpty(),
                         qPrintable(window->objectName() + u": "_qs + clippedCaptions(window).join(u", "_qs)));
        }
    }

    void mainWindowFitsA720Screen_data() { fontSizes(); }
    void mainWindowFitsA720Screen()
    {
        QFETCH(qreal, points);
        if (points > 0) {
            QFont large = QApplication::font();
            large.setPointSizeF(points);
            QApplication::setFont(large);
        }
        ProgramRig rig;
        MainWindow &main = rig.start().main();
        main.show();
        main.resize(1280, 720);
        QCoreApplication::processEvents();
        QCOMPARE(main.size(), QSize(1280, 720));

        // Outside the scrolled column every control lies inside the window; the column
        // gets the width its panels need and scrolls to any of them.
        const QRect window = main.rect();
        QScrollArea *column = main.ui().rightScroll;
        QVERIFY(column->widget()->width() >= column->widget()->minimumSizeHint().width());
        QVERIFY(column->widget()->height() >= column->widget()->minimumSizeHint().height());
        for (QWidget *control : main.findChildren<QWidget *>()) {
            if (!control->isVisible() || control->isWindow() || column->isAncestorOf(control))
                continue;
            const QRect place(control->mapTo(&main, QPoint(0, 0)), control->size());
            QVERIFY2(window.contains(place), qPrintable(control->objectName()));
        }
        column->ensureWidgetVisible(main.ui().cb_online);
        QVERIFY(main.ui().cb_online->visibleRegion().boundingRect().size() == main.ui().cb_online->size());
    }

private:
    static void fontSizes()
    {
        QTest::addColumn<qreal>("points");
        QTest::newRow("desktop font") << 0.0;
        QTest::newRow("12 pt") << 12.0;
    }

    QFont m_font;
};

QTEST_MAIN(TestWindowSizes)
#include "tst_windowsizes.moc"
