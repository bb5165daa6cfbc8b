// The real window offscreen: its fixed look (colour scheme, frame, menus, help button), the help
// document it opens and the About page with its caption and links.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>

#include "app/user_dialogs.h"
#include "fakes/window_fixture.h"
#include "ui/controls.h"
#include "ui/hyperlink_label.h"
#include "ui/popup_menu_style.h"

namespace orp {
namespace {

const QColor kGrey(81, 81, 81);
const QColor kWhite(255, 255, 255);
const QColor kDesign(1, 2, 3);

// Classes of the window's own kind that the scheme must not recognise.
class CaptionLabel : public TJvLabel {
    Q_OBJECT
public:
    using TJvLabel::TJvLabel;
};

class BannerPanel : public TsuiPanel {
    Q_OBJECT
public:
    using TsuiPanel::TsuiPanel;
};

void Click(QWidget* w) {
    const QPointF at = QRectF(w->rect()).center();
    QMouseEvent down(QEvent::MouseButtonPress, at, w->mapToGlobal(at), Qt::LeftButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &down);
    QMouseEvent up(QEvent::MouseButtonRelease, at, w->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                   Qt::NoModifier);
    QApplication::sendEvent(w, &up);
}

TEST(WindowLook, EveryPanelIsDarkGreyWithWhiteTextAfterStartUp) {
    WindowFixture f;
    TfrmORmain& w = f.Create();
    w.show();
    auto* pages = f.Find<QTabWidget>("pg_RAM");

    QStringList panels, drawn;
    for (TsuiPanel* p : w.findChildren<TsuiPanel*>()) {
        if (SchemeClassName(p) != QStringLiteral("TsuiPanel")) continue;
        panels << p->objectName();
        SCOPED_TRACE(p->objectName().toStdString());
        EXPECT_EQ(p->palette().color(QPalette::Window), kGrey);
        EXPECT_EQ(p->palette().color(QPalette::WindowText), kWhite);
        EXPECT_TRUE(p->autoFillBackground());
    }
    // Drawn so, page by page: inside the hairline frame, below the contents.
    for (int i = 0; i < pages->count(); ++i) {
        pages->setCurrentIndex(i);
        QApplication::processEvents();
        for (TsuiPanel* p : pages->widget(i)->findChildren<TsuiPanel*>()) {
            if (!p->isVisible()) continue;
            drawn << p->objectName();
            const QImage img = p->grab().toImage();
            EXPECT_EQ(img.pixelColor(2, img.height() - 2), kGrey) << p->objectName().toStdString();
        }
    }
    EXPECT_TRUE(drawn.contains(QStringLiteral("pnl_Report")));
    // The grids' panels too, and the overlay panels shown only during a run.
    for (const char* name : {"pnlTotal", "pnlFree", "pnlPass", "pnlFreeing_RAM", "pnlMonitor",
                             "pnl_Process", "pnl_Report", "pnlGeneral", "pnlAutomatic", "pnlAbout"})
        EXPECT_TRUE(panels.contains(QLatin1String(name))) << name;

    // The grids follow their panels.
    for (const char* grid : {"grd_Process", "grd_Log"})
        EXPECT_EQ(f.Find<QWidget>(grid)->palette().color(QPalette::Window), kGrey) << grid;
    EXPECT_EQ(f.Find<QProgressBar>("pbrWorking")->palette().color(QPalette::Window), kGrey);
    auto* memo = f.Find<QPlainTextEdit>("memAbout");
    EXPECT_EQ(memo->palette().color(QPalette::Base), kGrey);
    EXPECT_EQ(memo->palette().color(QPalette::Text), kWhite);
    for (const char* text : {"lblUsedRAM", "lblTRAM", "chbCPU", "rb_SI", "chbAuto_Free"})
        EXPECT_EQ(f.Find<QWidget>(text)->palette().color(QPalette::WindowText), kWhite) << text;
}

TEST(WindowLook, ControlsOfDerivedClassesKeepTheirDesignColours) {
    WindowFixture f;
    TfrmORmain& w = f.Create();
    auto* about = f.Find<QWidget>("pnlAbout");
    auto design = [about](QWidget* widget) {
        QPalette p = widget->palette();
        for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::Window, QPalette::Base})
            p.setColor(role, kDesign);
        widget->setPalette(p);
        return widget;
    };
    struct Case {
        const char* what;
        QWidget* widget;
        bool textWhite, backgroundGrey;
    };
    const Case cases[] = {
        {"TJvLabel", design(new TJvLabel(QStringLiteral("x"), about)), true, false},
        {"derived label", design(new CaptionLabel(QStringLiteral("x"), about)), false, false},
        {"TsuiPanel", design(new TsuiPanel(about)), true, true},
        {"derived panel", design(new BannerPanel(about)), false, false},
        {"TsuiMemo", design(new TsuiMemo(about)), true, true},
    };
    w.ApplyPanelColours();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QPalette& p = c.widget->palette();
        EXPECT_EQ(p.color(QPalette::WindowText), c.textWhite ? kWhite : kDesign);
        EXPECT_EQ(p.color(QPalette::Window), c.backgroundGrey ? kGrey : kDesign);
    }
}

TEST(WindowLook, FrameWindowFontAndOneMenuStyle) {
    WindowFixture f;
    TfrmORmain& w = f.Create();
    const Qt::WindowFlags flags = w.windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_TRUE(flags.testFlag(Qt::CustomizeWindowHint));  // or the system adds its own buttons
    EXPECT_EQ(w.palette().color(QPalette::Window), kGrey);
    EXPECT_EQ(w.palette().color(QPalette::WindowText), kWhite);
    EXPECT_EQ(w.font().pointSize(), 8);

    // Every popup of the window, submenus included, is drawn in the one menu style.
    QStringList menus;
    for (QMenu* m : w.findChildren<QMenu*>()) {
        menus << m->objectName();
        EXPECT_NE(qobject_cast<PopupMenuStyle*>(m->style()), nullptr)
            << m->objectName().toStdString();
    }
    for (const char* name : {"popTaskBar", "CleamRAM1", "pop_Sort", "pop_Log"})
        EXPECT_TRUE(menus.contains(QLatin1String(name))) << name;
}

TEST(HelpButton, AGlyphWithoutCaptionAtTheTopRight) {
    WindowFixture f;
    TfrmORmain& w = f.Create();
    auto* help = f.Find<QToolButton>("btn_Help");
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->text().isEmpty());
    EXPECT_FALSE(help->icon().isNull());
    EXPECT_EQ(help->toolButtonStyle(), Qt::ToolButtonIconOnly);
    EXPECT_EQ(help->size(), QSize(32, 22));
    EXPECT_EQ(help->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(help->toolTip(), "Display the help manual");
    EXPECT_TRUE(help->autoRaise());
    for (int width : {603, 800}) {
        w.resize(width, w.height());
        w.show();
        QApplication::processEvents();
        const QRect at(help->mapTo(&w, QPoint(0, 0)), help->size());
        EXPECT_GT(at.right(), w.width() - 20) << width;
        EXPECT_LT(at.top(), 20) << width;
    }
}

TEST(HelpButton, OpensTheDocumentBesideTheProgramWhateverTheCurrentFolder) {
    struct RestoreCurrent {
        QString path = QDir::currentPath();
        ~RestoreCurrent() { QDir::setCurrent(path); }
    } restore;
    QTemporaryDir elsewhere;
    struct Case {
        const char* what;
        const char* programFolder;  // inside the fixture's folder; "" for the folder itself
        int current;                // 0: the program's folder, 1: another folder, 2: the root
    };
    const Case cases[] = {
        {"started in its own folder", "", 0},
        {"started from another folder", "", 1},
        {"folder with a blank, started from /", "Orrindo Pro", 2},
        {"folder whose name looks like an address", "a://b c", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WindowFixture f;
        f.programFolder = c.programFolder;
        const QString folder = QString::fromStdString(f.Folder());
        QDir().mkpath(folder);
        const QString current[] = {folder, elsewhere.path(), QStringLiteral("/")};
        ASSERT_TRUE(QDir::setCurrent(current[c.current]));
        f.Create();
        f.Find<QToolButton>("btn_Help")->click();
        QDir::setCurrent(restore.path);

        const QString expected = folder + QStringLiteral("/Orrindo Pro.chm");
        ASSERT_EQ(f.dialogs.opened, QStringList{expected});
        const QUrl url = DocumentUrl(f.dialogs.opened[0]);
        EXPECT_TRUE(url.isLocalFile());
        EXPECT_EQ(url.toLocalFile(), expected);
        EXPECT_TRUE(f.dialogs.messages.isEmpty());
    }
}

TEST(DocumentUrl, PathsAreLocalFilesAndAddressesStayAddresses) {
    struct Case {
        const char* text;
        bool local;
        const char* url;
    };
    const Case cases[] = {
        {"/opt/orrindo/Orrindo Pro.chm", true, "file:///opt/orrindo/Orrindo%20Pro.chm"},
        {"/tmp/a://b/Orrindo Pro.chm", true, "file:///tmp/a://b/Orrindo%20Pro.chm"},
        {"/tmp/100%/x#1.chm", true, "file:///tmp/100%25/x%231.chm"},
        {"https://kestovar.example/", false, "https://kestovar.example/"},
        {"https://kestovar.example/orrindo-pro/", false, "https://kestovar.example/orrindo-pro/"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const QUrl url = DocumentUrl(QString::fromUtf8(c.text));
        EXPECT_EQ(url.isLocalFile(), c.local);
        if (c.local) {
            EXPECT_EQ(url.toLocalFile(), QString::fromUtf8(c.text));
        }
        EXPECT_EQ(url.toString(QUrl::FullyEncoded), QString::fromUtf8(c.url));
    }
}

TEST(AboutPage, CaptionCarriesTheVersionOrNothing) {
    struct Case {
        const char* version;
        const char* caption;
    };
    const Case cases[] = {
        {"2.2.0.1", "About Orrindo Pro (version 2.2.0.1)"},
        {"", "About Orrindo Pro (version )"},
        {"3.0.0.17", "About Orrindo Pro (version 3.0.0.17)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version);
        WindowFixture f;
        f.fileVersion = c.version;
        f.Create();
        EXPECT_EQ(f.Find<TsuiPanel>("pnlAbout")->caption(), QString::fromUtf8(c.caption));
    }
}

TEST(AboutPage, SixthPageWithTheTextLogoAndLinks) {
    WindowFixture f;
    f.Create();
    auto* pages = f.Find<QTabWidget>("pg_RAM");
    ASSERT_EQ(pages->count(), 6);
    EXPECT_EQ(pages->widget(5), f.Find<QWidget>("tab_About"));
    EXPECT_EQ(pages->tabText(5), "   About   ");
    auto* memo = f.Find<QPlainTextEdit>("memAbout");
    EXPECT_EQ(memo->toPlainText().split('\n'),
              (QStringList{"", "Orrindo Pro presented by Kestovar", "",
                           "Visit our websites for patches, updates and other software, services "
                           "and information."}));
    EXPECT_FALSE(memo->isReadOnly());
    auto* logo = f.Find<QWidget>("suiImagePanel1");
    EXPECT_EQ(logo->size(), QSize(241, 73));
    EXPECT_EQ(logo->cursor().shape(), Qt::PointingHandCursor);
    struct Link {
        const char* name;
        const char* caption;
        const char* hint;
    };
    for (const Link& l : {Link{"lblWebSite", "Kestovar's Website",
                               "Open a web browser showing Kestovar's website."},
                          Link{"VrHyperLink2", "Orrindo Pro Website",
                               "Open a web browser showing the Orrindo Lite website."}}) {
        SCOPED_TRACE(l.name);
        auto* link = f.Find<TVrHyperLink>(l.name);
        ASSERT_NE(link, nullptr);
        EXPECT_EQ(link->text(), QString::fromUtf8(l.caption));
        EXPECT_EQ(link->toolTip(), QString::fromUtf8(l.hint));
        // Not a scheme label: it stays silver after start-up.
        EXPECT_EQ(link->TextColour(), TVrHyperLink::kColour);
    }
}

TEST(AboutPage, LogoAndLinksOpenTheirPagesWithoutWaitingOrMessages) {
    struct Case {
        const char* clicked;
        const char* page;
    };
    const Case cases[] = {
        {"suiImagePanel1", ORP_WEBSITE_URL},
        {"lblWebSite", ORP_WEBSITE_URL},
        {"VrHyperLink2", ORP_PRODUCT_URL},
    };
    QStringList pages;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.clicked);
        WindowFixture f;
        f.Create();
        Click(f.Find<QWidget>(c.clicked));
        ASSERT_EQ(f.dialogs.opened.size(), 1);
        EXPECT_EQ(f.dialogs.opened[0], QString::fromUtf8(c.page));
        EXPECT_FALSE(DocumentUrl(f.dialogs.opened[0]).isLocalFile());
        EXPECT_TRUE(f.dialogs.messages.isEmpty());
        pages << f.dialogs.opened[0];
    }
    // The logo is a second way to the maker's site; the product link goes elsewhere.
    EXPECT_EQ(pages[0], pages[1]);
    EXPECT_NE(pages[1], pages[2]);
}

TEST(AboutPage, ALogoPressDraggedOffOpensNothing) {
    WindowFixture f;
    f.Create();
    auto* logo = f.Find<QWidget>("suiImagePanel1");
    const QPointF in = QRectF(logo->rect()).center();
    const QPointF out(logo->width() + 50, in.y());
    QMouseEvent down(QEvent::MouseButtonPress, in, logo->mapToGlobal(in), Qt::LeftButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(logo, &down);
    QMouseEvent up(QEvent::MouseButtonRelease, out, logo->mapToGlobal(out), Qt::LeftButton,
                   Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(logo, &up);
    EXPECT_TRUE(f.dialogs.opened.isEmpty());
}

}  // namespace
}  // namespace orp

#include "about_window_test.moc"
