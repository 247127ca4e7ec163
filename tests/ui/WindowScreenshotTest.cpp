// Pictures of the main window listing an emulated fleet, saved into the build tree for the eye:
// a sorted column with its triangle at the template's size and at a larger size, and warning
// rows. The test checks what a picture
// must show: the window's size, and the warning background drawn behind the warned rows only.

#include <QAbstractItemView>
#include <QDir>
#include <QImage>
#include <QWidget>
#include <string>

#include "tests/ui/HostNetworkFleet.h"
#include "tests/ui/MainWindowFixture.h"

using ordvane::framework::PumpEvents;
using ordvane::testing::HostNetworkFleet;
using ordvane::testing::MainWindowTest;
using ordvane::testing::TestableScanDlg;

namespace {

class WindowScreenshotTest : public MainWindowTest {
protected:
    // Eight modules of a small plant; two of them answer with the same IP address.
    void SetUp() override {
        const HostNetworkFleet fleet;
        const std::string mask = fleet.Mask();
        const std::string gateway = fleet.OnNetwork(1);
        const auto line = [&](const char* mac, std::uint32_t number, const char* type,
                              const char* dhcp) {
            return fleet.Line(mac, fleet.OnNetwork(number), mask, type, dhcp, "1", gateway);
        };
        StartFleet(std::string(HostNetworkFleet::kHeader) +
                       line("0A-51-4D-12-00-01", 11, "QM-240 Fieldbus", "0") +
                       line("0A-51-4D-12-00-02", 12, "QM-100", "0") +
                       line("0A-51-4D-12-00-03", 13, "QM-200", "1") +
                       line("0A-51-4D-12-00-04", 14, "QM-100", "0") +
                       line("0A-51-4D-12-00-05", 21, "QM-240 Fieldbus", "0") +
                       line("0A-51-4D-12-00-06", 12, "QM-200", "1") +
                       line("0A-51-4D-12-00-07", 23, "QM-100", "0") +
                       line("0A-51-4D-12-00-08", 30, "QM-200", "0"),
                   8);
        QDir().mkpath(QStringLiteral(ORDVANE_SCREENSHOT_DIR));
    }

    // Saves the whole window (frame left to the window manager) under this name.
    static QImage Save(TestableScanDlg& window, const char* name) {
        window.ModuleList().FlushPendingChanges();
        PumpEvents();
        const QImage picture = window.GetWidget()->grab().toImage();
        EXPECT_FALSE(picture.isNull());
        const QString path = QStringLiteral(ORDVANE_SCREENSHOT_DIR "/") + QString::fromUtf8(name);
        EXPECT_TRUE(picture.save(path)) << path.toStdString();
        return picture;
    }

    static void Resize(TestableScanDlg& window, int width, int height) {
        CRect rect;
        window.GetWindowRect(&rect);
        window.MoveWindow(rect.left, rect.top, width, height);
        PumpEvents();
    }

    // The colour drawn at the right end of a row's DHCP cell, past its short text.
    static QColor RowBackground(TestableScanDlg& window, const QImage& picture, int row) {
        auto* view = qobject_cast<QAbstractItemView*>(window.ModuleList().GetWidget());
        const QRect cell = view->visualRect(view->model()->index(row, 3));
        const QPoint inside(cell.right() - 4, cell.center().y());
        const QPoint inWindow = view->viewport()->mapTo(window.GetWidget(), inside);
        return picture.pixelColor(inWindow * picture.devicePixelRatio());
    }
};

}  // namespace

TEST_F(WindowScreenshotTest, TheWindowListingASortedFleetAtTwoSizesAndWithWarningRows) {
    RunWindow([&](TestableScanDlg& window) {
        ordvane::CModuleListCtrl& list = window.ModuleList();
        // Template size, sorted by type.
        list.SortColumn(5, TRUE);
        const QImage small = Save(window, "main-window-sorted.png");
        CRect rect;
        window.GetClientRect(&rect);
        EXPECT_EQ(small.size() / small.devicePixelRatio(), QSize(rect.Width(), rect.Height()));

        // Larger, sorted by MAC descending.
        Resize(window, 760, 360);
        list.SortColumn(6, FALSE);
        const QImage large = Save(window, "main-window-large-sorted.png");
        EXPECT_GT(large.width(), small.width());

        // Sorted by IP address: the two modules on one address side by side, on amber.
        list.SortColumn(0, TRUE);
        const QImage warnings = Save(window, "main-window-warnings.png");
        for (int row = 0; row < list.GetItemCount(); ++row) {
            const QColor shown = RowBackground(window, warnings, row);
            const bool warned = list.GetItemWarning(row) != FALSE;
            EXPECT_EQ(shown.blue() < shown.red() - 40, warned)
                << "row " << row << " " << shown.name().toStdString();
        }
        EXPECT_GE(list.GetModuleCount(), 8);
    });
}
