// Speaking into a WAV file through the real SAPI with the test voice: the file against the
// voice's record of what it wrote, the voice back on the device afterwards, the system's
// reason for a file that cannot be made, and a voice that cannot speak the file's format
// (Wine 10 then writes nothing and reports success) reported as an error. The tests add
// voice tokens of their own, at the sample rates they need, for the test voice's class.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "speech/sapi_engine_win.h"
#include "speech/wav_stream_win.h"
#include "support/test_paths.h"
#include "support/voice_record.h"
#include "tools/test_voice/record_format.h"
#include "tools/test_voice/tone.h"
#include "win/codepage_win.h"
#include "win/com.h"
#include "win/files_win.h"

namespace {

std::string Header(std::uint32_t dataBytes) {
    auto h = WavHeader(kPcm16kHz16BitMono, dataBytes);
    return std::string(h.begin(), h.end());
}

class WavStreamTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(ClearVoiceRecord()); }

    // What the voice of that name was asked to say.
    static VoiceRecord RecordOf(const std::wstring& name) {
        VoiceRecord all = ReadVoiceRecord(), mine;
        for (const auto& u : all)
            if (u.voice == name) mine.push_back(u);
        return mine;
    }

    // A voice object speaking with the named voice, found as the program finds voices.
    std::unique_ptr<IVoiceObject> VoiceNamed(const std::string& name) {
        auto voice = engine_->CreateVoice();
        for (const auto& token : voice->GetVoices()) {
            if (token->Description() != name) continue;
            voice->SetVoice(token);
            return voice;
        }
        return nullptr;  // the test voice's class is not registered
    }

    // The export's engine calls, from the format to the voice back on the device.
    void Export(IVoiceObject& voice, IFileStreamObject& stream, const std::wstring& path, const std::string& text) {
        stream.SetFormat16kHz16BitMono();
        stream.OpenForWrite(WideToUtf8(path));
        voice.AllowAudioOutputFormatChangesOnNextSet(false);
        voice.SetOutputToStream(stream);
        voice.Speak(text);
        EXPECT_TRUE(WaitUntilSpoken(voice));
        stream.Close();
        voice.SetOutputToDefault();
    }

    // Released in reverse order: every engine object goes before CoUninitialize.
    ScopedCom com_;
    std::unique_ptr<ISpeechEngine> engine_ = CreateSapiEngine();
};

TEST_F(WavStreamTest, TheFileHoldsWhatTheVoiceSaidAndLaterSpeechGoesToTheDevice) {
    ScopedVoiceToken alto(L"SonviraWav16k", L"SonviraWav16k", 440, 16000);
    // A Chinese name crosses the ANSI code page as every path of the program does, and a
    // longer file of that name is replaced, not written over in part.
    std::wstring path = ExeDir() + L"\\\x6d88\x606f\x5bfc\x51fa.wav";
    std::ofstream(path.c_str(), std::ios::binary) << std::string(100000, 'x');
    // What an export killed with its process left: this target's goes, another target's stays.
    const std::wstring stale = path + L".~0badf00d.tmp", others = ExeDir() + L"\\other.wav.~0badf00d.tmp";
    for (const std::wstring& left : {stale, others}) std::ofstream(left.c_str(), std::ios::binary) << "RIFF";
    auto voice = VoiceNamed("SonviraWav16k");
    ASSERT_NE(voice, nullptr);
    auto stream = engine_->CreateFileStream();
    const std::string text = "Hello WAV 42";
    Export(*voice, *stream, path, text);

    std::string file = FileBytes(path);
    auto record = RecordOf(L"SonviraWav16k");
    ASSERT_EQ(record.size(), 1u);
    ASSERT_TRUE(record[0].completed) << record[0].why;
    // The whole text at a fresh voice's default rate, all of it in the file and nothing more.
    EXPECT_EQ(record[0].bytes, test_voice::TextSamples(std::u32string(text.begin(), text.end()), 0, 16000) * 2);
    EXPECT_EQ(file.substr(0, kWavHeaderSize), Header(static_cast<std::uint32_t>(record[0].bytes)));
    EXPECT_EQ(file.size(), kWavHeaderSize + record[0].bytes);
    EXPECT_EQ(test_voice::Fnv1a(file.data() + kWavHeaderSize, file.size() - kWavHeaderSize), record[0].hash);
    EXPECT_EQ(GetFileAttributesW(stale.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(DeleteFileW(others.c_str()));

    // Back on the device: the next text is spoken, and the file stays as it was.
    voice->Speak("after");
    EXPECT_TRUE(WaitUntilSpoken(*voice));
    record = RecordOf(L"SonviraWav16k");
    ASSERT_EQ(record.size(), 2u);
    EXPECT_EQ(record[1].fragments.at(0).text, L"after");
    EXPECT_TRUE(record[1].completed && record[1].bytes > 0) << record[1].why;
    EXPECT_EQ(FileBytes(path), file);
    DeleteFileW(path.c_str());
}

// Wine 10 has no resampler: a voice of 22 kHz given a 16 kHz file writes nothing and reports
// success. Text that leaves no samples is an error when the file closes, not an empty file;
// an empty text, and the same stream next time with a voice that fits, are none.
TEST_F(WavStreamTest, AVoiceThatWritesNothingForTextIsAnErrorWhenTheFileCloses) {
    ScopedVoiceToken other(L"SonviraWav22k", L"SonviraWav22k", 440, 22050);
    ScopedVoiceToken alto(L"SonviraWav16k", L"SonviraWav16k", 440, 16000);
    std::wstring path = ExeDir() + L"\\wav_stream_mismatch.wav";
    auto stream = engine_->CreateFileStream();
    auto mismatched = VoiceNamed("SonviraWav22k");
    ASSERT_NE(mismatched, nullptr);
    std::ofstream(path.c_str(), std::ios::binary) << "old";
    try {
        Export(*mismatched, *stream, path, "abc");
        ADD_FAILURE() << "no error";
    } catch (const EngineError& e) {
        std::printf("%s\n", e.what());
        EXPECT_NE(std::string(e.what()).find("no audio"), std::string::npos);
    }
    auto record = RecordOf(L"SonviraWav22k");
    std::printf("the 22 kHz voice's record holds %zu request(s)\n", record.size());
    for (const auto& r : record) EXPECT_EQ(r.bytes, 0u);
    EXPECT_EQ(FileBytes(path), "old") << "a file without the text's samples replaces no file";

    auto voice = VoiceNamed("SonviraWav16k");
    ASSERT_NE(voice, nullptr);
    for (const char* text : {"ok", ""}) {
        SCOPED_TRACE(text);
        EXPECT_NO_THROW(Export(*voice, *stream, path, text));
        EXPECT_EQ(FileBytes(path).size() > kWavHeaderSize, *text != '\0');
    }
    DeleteFileW(path.c_str());
}

// The file error with the system's reason, as CreateFile itself gives it, for a file that
// cannot be made.
TEST_F(WavStreamTest, AFileThatCannotBeCreatedIsAFileErrorWithTheSystemsReason) {
    std::wstring path = ExeDir() + L"\\no such folder\\out \uD55C\xD800.wav";  // Korean and half a pair
    ASSERT_EQ(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr), INVALID_HANDLE_VALUE);
    std::string reason = SystemErrorText(GetLastError());
    try {
        engine_->CreateFileStream()->OpenForWrite(WideToUtf8(path));
        ADD_FAILURE() << "no error";
    } catch (const FileError& e) {
        EXPECT_EQ(e.what(), FileCreateErrorMessage(WideToAnsi(ExeDir()) + "\\no such folder\\out ??.wav", reason));
        EXPECT_NE(e.Exact().find(u"\"" + std::u16string(path.begin(), path.end()) + u"\". "), std::u16string::npos)
            << "the name as the user typed it";
    }
}

// An odd amount of data is padded, and a closed file takes no more samples from a voice
// that still holds the stream.
TEST(WavFileStream, PadsOddDataAndTakesNothingAfterClose) {
    std::wstring path = ExeDir() + L"\\wav_stream_direct.wav";
    auto stream = WavFileStream::Create();
    stream->SetFormat(kPcm16kHz16BitMono);
    ASSERT_EQ(stream->Open(path), S_OK);
    ASSERT_EQ(stream->Write("abc", 3, nullptr), S_OK);
    ASSERT_EQ(stream->Close(), S_OK);
    ULONG written = 1;
    EXPECT_TRUE(FAILED(stream->Write("more", 4, &written)));
    EXPECT_EQ(written, 0u);
    EXPECT_EQ(FileBytes(path), Header(3) + std::string("abc\0", 4));
    DeleteFileW(path.c_str());
}

}  // namespace
