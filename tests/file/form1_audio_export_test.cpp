// The save dialog's WAV export through the real window and the engine module
// the program opens: the file it writes, a cancel, and the filter that says
// why there is no export.
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>

#include "midi/engine_module.h"
#include "score/canvas_driver.h"
#include "support/wav_reader.h"

namespace tsuzuri {
namespace {

namespace fs = std::filesystem;

const QString kWav = QStringLiteral("WAV (*.wav)");

class AudioExportTest : public test::CanvasTest {
protected:
    void SetUp() override {
        CanvasTest::SetUp();
        form->setFolders(dir.path() / "recovery", dir.path());
    }

    // The save dialog on the screen; one answered before may not be deleted yet.
    QFileDialog* saveDialog() {
        for (auto* dialog : form->findChildren<QFileDialog*>("SaveDialog")) {
            if (dialog->isVisible())
                return dialog;
        }
        return nullptr;
    }

    // The name filters the save dialog offers; the dialog stays open.
    QStringList offeredFilters() {
        form->saveUnderNewName();
        QFileDialog* dialog = saveDialog();
        return dialog != nullptr ? dialog->nameFilters() : QStringList();
    }

    // Answers the open save dialog with `file` in the format `filter`.
    void saveAs(const fs::path& file, const QString& filter) {
        QFileDialog* dialog = saveDialog();
        ASSERT_NE(dialog, nullptr);
        dialog->selectNameFilter(filter);
        emit dialog->filterSelected(filter);  // as a choice of the user's
        dialog->selectFile(QString::fromStdString(file.string()));
        static_cast<QDialog*>(dialog)->accept();
        QApplication::processEvents();
    }

    bool exportEnds() {
        return QTest::qWaitFor([&] { return !form->audioExportRunning(); }, 30000);
    }

    std::vector<std::string> namesInDir() {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir.path()))
            names.push_back(entry.path().filename().string());
        return names;
    }

    std::string notice() { return form->Notice->toolTip().toStdString(); }
};

TEST_F(AudioExportTest, TheSaveDialogWritesThePieceAsWavAndACancelLeavesNothing) {
    EngineModule module({TSUZURI_ENGINE_MODULE}, FluidSequencerOptions{.drivers = {}}, {});
    form->setAudioRenderer(&module);
    choosePalette(8);
    placeAt(100, 56);
    placeAt(200, 60);

    ASSERT_TRUE(offeredFilters().contains(kWav));
    const fs::path file = dir.path() / "piece.wav";
    saveAs(dir.path() / "piece", kWav);  // the filter gives the name its extension
    ASSERT_TRUE(exportEnds());
    const test::WavListing wav = test::readWithPythonWave(file);
    ASSERT_TRUE(wav.ok) << wav.diagnostics << notice();
    EXPECT_EQ(wav.rate, 44100);
    // Two quarter notes, then the rest of the four measures the track plays.
    EXPECT_GT(wav.frames, 44100);
    EXPECT_NE(notice().find("piece.wav"), std::string::npos) << notice();
    EXPECT_TRUE(form->documentPath().empty());  // exporting keeps the piece's own file

    // A long piece (seven minutes): cancelled while it renders, it leaves no
    // file behind.
    state().piece.score[0].lastMeasure = kMeasureCount - 1;
    for (int m = 0; m < kMeasureCount; ++m) {
        state().piece.score[0].measures[m] = state().piece.score[0].measures[0];
        state().piece.score[0].measures[m].noteCount = 2;
    }
    offeredFilters();
    saveAs(dir.path() / "long.wav", kWav);
    ASSERT_TRUE(form->audioExportRunning());
    auto* cancel = form->findChild<QPushButton*>("CancelExport");
    ASSERT_NE(cancel, nullptr);
    ASSERT_TRUE(cancel->isVisible());
    QTest::mouseClick(cancel, Qt::LeftButton);
    ASSERT_TRUE(exportEnds());
    EXPECT_FALSE(cancel->isVisible());
    EXPECT_NE(notice().find("中止"), std::string::npos) << notice();
    for (const std::string& name : namesInDir())
        EXPECT_EQ(name.find("long.wav"), std::string::npos) << name;
}

TEST_F(AudioExportTest, WithoutTheSoundModuleOrSoundFontTheWavFilterSaysWhy) {
    choosePalette(8);
    placeAt(100, 56);
    const QString noModule = QStringLiteral("WAV：書き出せません（音源モジュールを開けません） (*.wav)");
    ASSERT_TRUE(offeredFilters().contains(noModule));
    saveAs(dir.path() / "piece.wav", noModule);
    EXPECT_NE(notice().find("音源モジュールを開けません"), std::string::npos) << notice();
    EXPECT_FALSE(fs::exists(dir.path() / "piece.wav"));

    EngineModule module({TSUZURI_ENGINE_MODULE},
                        FluidSequencerOptions{.soundFont = dir.path() / "none.sf2", .drivers = {}},
                        {});
    form->setAudioRenderer(&module);
    form->setSoundStatus(SoundStatus::NoSoundFont);
    const QString noSoundFont =
        QStringLiteral("WAV：書き出せません（SoundFont が見つからないか読めません） (*.wav)");
    ASSERT_TRUE(offeredFilters().contains(noSoundFont));
    saveAs(dir.path() / "piece.wav", noSoundFont);
    ASSERT_TRUE(exportEnds());
    EXPECT_NE(notice().find("SoundFont"), std::string::npos) << notice();
    EXPECT_FALSE(fs::exists(dir.path() / "piece.wav"));
}

}  // namespace
}  // namespace tsuzuri
