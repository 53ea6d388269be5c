#pragma once

// A window with its folders in a fresh directory, and the dialogs and
// questions of its file handling answered as a user answers them.
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>

#include "score/canvas_driver.h"
#include "ui/updown.h"

namespace tsuzuri::test {

namespace fs = std::filesystem;

class FileTest : public test::CanvasTest {
protected:
    void SetUp() override {
        CanvasTest::SetUp();
        newWindow();
    }

    // A new window in the same folder, as after closing and starting again.
    void newWindow() {
        form = std::make_unique<Form1>(sequencer, dir.path());
        form->setFolders(recoveryDir(), dir.path());
        form->show();
        QApplication::processEvents();
    }

    fs::path recoveryDir() { return dir.path() / "recovery"; }

    template <typename Probe>
    static bool waitFor(Probe probe) {
        return QTest::qWaitFor(probe, 5000);
    }

    template <typename W>
    W* waitForChild(const char* name) {
        W* found = nullptr;
        static_cast<void>(waitFor([&] { return (found = form->findChild<W*>(name)) != nullptr; }));
        return found;
    }

    // Answers the open file dialog with `file`, in the format `filter`.
    void answerDialog(const char* dialogName, const fs::path& file, const QString& filter = {}) {
        auto* dialog = waitForChild<QFileDialog>(dialogName);
        ASSERT_NE(dialog, nullptr) << dialogName;
        if (!filter.isEmpty())
            dialog->selectNameFilter(filter);
        dialog->selectFile(QString::fromStdString(file.string()));
        static_cast<QDialog*>(dialog)->accept();
        waitUntilIdle();
    }

    void answerQuestion(const QString& button, const char* question = "KeepChanges") {
        auto* box = waitForChild<QMessageBox>(question);
        ASSERT_NE(box, nullptr);
        for (QAbstractButton* b : box->buttons()) {
            if (b->text() == button)
                b->click();
        }
        QApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void waitUntilIdle() {
        QApplication::processEvents();
        EXPECT_TRUE(waitFor([&] { return !form->fileBusy(); }));
        QApplication::processEvents();
    }

    // A piece on two tracks, with a key signature, an octave, ticks and text.
    void composeOnTwoTracks() {
        QTest::mousePress(form->Command5, Qt::LeftButton);  // one flat
        QTest::mousePress(form->Command5, Qt::LeftButton);  // two flats
        choosePalette(8);
        placeAt(100, 56);
        placeAt(160, 60);
        choosePalette(22);  // a quarter rest
        placeAt(300, 64);
        QTest::mouseClick(form->Command4, Qt::LeftButton);  // track 2
        form->Combo1->setCurrentIndex(3);                   // flute
        choosePalette(6);
        placeAt(500, 100);
        form->Check3[5]->setChecked(true);
        form->UpDown1->setValue(5);
        QTest::mousePress(form->Command13, Qt::LeftButton);  // view from measure 1
    }

    QString caption() { return form->windowTitle(); }
    // The whole text of the notice (the line itself may elide a long name).
    std::string notice() { return form->Notice->toolTip().toStdString(); }
};

}  // namespace tsuzuri::test
