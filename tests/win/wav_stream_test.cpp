// Speaking into a WAV file through the real SAPI with the project's test voice: the file's
// header and samples against what the voice says it wrote, the voice back on the sound device
// afterwards, the system's reason for a file that cannot be made, and a voice that cannot
// speak the file's format (under Wine 10 it writes nothing and reports success) reported as
// an error. Each test registers voice tokens of its own for the test voice's COM class, with
// their own record files, and removes them afterwards.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstdint>
#include <string>
#include <vector>

#include "speech/sapi_engine_win.h"
#include "speech/wav_stream_win.h"
#include "support/test_paths.h"
#include "tools/test_voice/record_format.h"
#include "tools/test_voice/test_voice_ids.h"
#include "tools/test_voice/tone.h"
#include "win/codepage_win.h"
#include "win/com.h"

namespace {

const wchar_t kTokens[] = L"SOFTWARE\\Microsoft\\Speech\\Voices\\Tokens";

std::string ReadAll(const std::wstring& path) {
    std::string bytes;
    if (FILE* f = _wfopen(path.c_str(), L"rb")) {
        char buf[65536];
        for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) bytes.append(buf, n);
        std::fclose(f);
    }
    return bytes;
}

void WriteAll(const std::wstring& path, const std::string& bytes) {
    FILE* f = _wfopen(path.c_str(), L"wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

std::uint32_t Byte(const std::string& b, std::size_t at) { return static_cast<unsigned char>(b.at(at)); }
std::uint16_t U16At(const std::string& b, std::size_t at) { return static_cast<std::uint16_t>(Byte(b, at) | Byte(b, at + 1) << 8); }
std::uint32_t U32At(const std::string& b, std::size_t at) { return U16At(b, at) | static_cast<std::uint32_t>(U16At(b, at + 2)) << 16; }

// A voice token of the test voice that lives as long as this object, in the registry view
// that this 32-bit program, and SAPI inside it, reads. Its record file starts empty.
class TemporaryVoice {
public:
    TemporaryVoice(const std::wstring& key, const std::wstring& name, unsigned sampleRate)
        : key_(key), name_(name), record_(ExeDir() + L"\\" + key + L".record") {
        DeleteFileW(record_.c_str());
        HKEY tokens = nullptr;
        EXPECT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kTokens, 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY,
                                  nullptr, &tokens, nullptr),
                  ERROR_SUCCESS);
        RegDeleteTreeW(tokens, key_.c_str());
        HKEY token = nullptr;
        EXPECT_EQ(RegCreateKeyExW(tokens, key_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr,
                                  &token, nullptr),
                  ERROR_SUCCESS);
        Set(token, nullptr, name_);
        Set(token, L"CLSID", L"" SONVIRA_TEST_VOICE_CLSID);
        Set(token, L"RecordFile", record_);
        Set(token, L"SampleRate", std::to_wstring(sampleRate));
        Set(token, L"ToneHz", L"440");
        RegCloseKey(token);
        RegCloseKey(tokens);
    }
    ~TemporaryVoice() {
        HKEY tokens = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kTokens, 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, &tokens) == ERROR_SUCCESS) {
            RegDeleteTreeW(tokens, key_.c_str());
            RegCloseKey(tokens);
        }
        DeleteFileW(record_.c_str());
    }
    TemporaryVoice(const TemporaryVoice&) = delete;
    TemporaryVoice& operator=(const TemporaryVoice&) = delete;

    std::string Name() const { return WideToAnsi(name_); }
    std::vector<test_voice::RecordedUtterance> Record() const { return test_voice::ParseRecord(ReadAll(record_)); }

private:
    static void Set(HKEY key, const wchar_t* name, const std::wstring& value) {
        EXPECT_EQ(RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                 static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
    }
    std::wstring key_, name_, record_;
};

// COM lives exactly as long as each test; the members go in reverse order, so every engine
// object is released before CoUninitialize.
class WavStreamTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(com_.Result()));
        engine_ = CreateSapiEngine();
    }

    // A voice object speaking with the named voice, found as the program finds voices.
    std::unique_ptr<IVoiceObject> VoiceNamed(const std::string& name) {
        auto voice = engine_->CreateVoice();
        for (const auto& token : voice->GetVoices()) {
            if (token->Description() == name) {
                voice->SetVoice(token);
                return voice;
            }
        }
        ADD_FAILURE() << "no voice \"" << name << "\": is the test voice's class registered?";
        return nullptr;
    }

    // The export's order of engine calls, from the format to the voice back on the device.
    void Export(IVoiceObject& voice, IFileStreamObject& stream, const std::wstring& path, const std::string& text) {
        stream.SetFormat16kHz16BitMono();
        stream.OpenForWrite(WideToAnsi(path));
        voice.AllowAudioOutputFormatChangesOnNextSet(false);
        voice.SetOutputToStream(stream);
        voice.Speak(text);
        voice.WaitUntilDone();
        stream.Close();
        voice.SetOutputToDefault();
    }

    ScopedCom com_;
    std::unique_ptr<ISpeechEngine> engine_;
};

TEST_F(WavStreamTest, TheFileHoldsWhatTheVoiceSaidAndLaterSpeechGoesToTheDevice) {
    TemporaryVoice alto(L"SonviraWavTest16k", L"Sonvira WAV Test 16k", 16000);
    // A Chinese name passes through the ANSI code page as every path of the program does.
    std::wstring path = ExeDir() + L"\\\x6d88\x606f\x5bfc\x51fa.wav";
    // A longer file of that name is replaced, not written over in part.
    WriteAll(path, std::string(200000, 'x'));
    auto voice = VoiceNamed(alto.Name());
    ASSERT_NE(voice, nullptr);
    auto stream = engine_->CreateFileStream();
    const std::string text = "Hello WAV 42";
    Export(*voice, *stream, path, text);

    std::string file = ReadAll(path);
    auto record = alto.Record();
    ASSERT_EQ(record.size(), 1u);
    const auto& said = record[0];
    ASSERT_TRUE(said.ended && said.completed) << said.why;
    EXPECT_EQ(said.sampleRate, 16000u);
    ASSERT_EQ(said.fragments.size(), 1u);
    EXPECT_EQ(said.fragments[0].text, text);
    // The whole text, at the engine's default rate for a fresh voice object.
    std::u32string chars(text.begin(), text.end());
    EXPECT_EQ(said.bytes, test_voice::TextSamples(chars, 0, 16000) * 2);

    ASSERT_GE(file.size(), kWavHeaderSize);
    std::uint32_t data = U32At(file, 40);
    EXPECT_EQ(file.substr(0, 4), "RIFF");
    EXPECT_EQ(U32At(file, 4), file.size() - 8);
    EXPECT_EQ(file.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(U32At(file, 16), 16u);
    EXPECT_EQ(U16At(file, 20), 1);      // PCM
    EXPECT_EQ(U16At(file, 22), 1);      // mono
    EXPECT_EQ(U32At(file, 24), 16000u);
    EXPECT_EQ(U32At(file, 28), 32000u);
    EXPECT_EQ(U16At(file, 32), 2);
    EXPECT_EQ(U16At(file, 34), 16);
    EXPECT_EQ(file.substr(36, 4), "data");
    EXPECT_EQ(data, said.bytes);
    EXPECT_EQ(file.size(), kWavHeaderSize + data);
    EXPECT_EQ(test_voice::Fnv1a(file.data() + kWavHeaderSize, file.size() - kWavHeaderSize), said.hash);

    // Back on the device: the next utterance is spoken, and the file stays as it was.
    voice->Speak("after");
    voice->WaitUntilDone();
    record = alto.Record();
    ASSERT_EQ(record.size(), 2u);
    EXPECT_TRUE(record[1].ended && record[1].completed) << record[1].why;
    ASSERT_EQ(record[1].fragments.size(), 1u);
    EXPECT_EQ(record[1].fragments[0].text, "after");
    EXPECT_GT(record[1].bytes, 0u);
    EXPECT_EQ(ReadAll(path), file);
    DeleteFileW(path.c_str());
}

// A text that gives no samples in the file is an error, not a silent empty file: Wine 10 has
// no resampler, so a voice speaking 22 kHz into a 16 kHz stream writes nothing at all.
TEST_F(WavStreamTest, AVoiceThatWritesNothingForTextIsAnErrorWhenTheFileCloses) {
    TemporaryVoice other(L"SonviraWavTest22k", L"Sonvira WAV Test 22k", 22050);
    TemporaryVoice alto(L"SonviraWavTest16k", L"Sonvira WAV Test 16k", 16000);
    std::wstring path = ExeDir() + L"\\wav_stream_mismatch.wav";
    auto stream = engine_->CreateFileStream();
    auto mismatched = VoiceNamed(other.Name());
    ASSERT_NE(mismatched, nullptr);

    std::string message;
    try {
        Export(*mismatched, *stream, path, "abc");
    } catch (const EngineError& e) {
        message = e.what();
    }
    std::printf("a 22 kHz voice into a 16 kHz file: %s\n", message.c_str());
    EXPECT_NE(message.find("no audio"), std::string::npos) << message;
    EXPECT_NE(message.find("16000 Hz"), std::string::npos) << message;
    // Wine 10 does not even hand the text to the voice; wherever it stopped, no sample came.
    auto record = other.Record();
    std::printf("the voice's record holds %zu request(s)\n", record.size());
    for (const auto& r : record) EXPECT_EQ(r.bytes, 0u);
    // The file was finished and let go all the same: a WAV of no samples.
    std::string file = ReadAll(path);
    ASSERT_EQ(file.size(), kWavHeaderSize);
    EXPECT_EQ(U32At(file, 4), 36u);
    EXPECT_EQ(U32At(file, 40), 0u);
    EXPECT_TRUE(DeleteFileW(path.c_str()));

    // The same stream, next time with a voice that can speak its format: no stale error. An
    // empty text has nothing to say, so its empty file is no error either.
    auto voice = VoiceNamed(alto.Name());
    ASSERT_NE(voice, nullptr);
    const struct {
        const char* text;
        bool samples;
    } cases[] = {{"ok", true}, {"", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_NO_THROW(Export(*voice, *stream, path, c.text));
        EXPECT_EQ(ReadAll(path).size() > kWavHeaderSize, c.samples);
    }
    DeleteFileW(path.c_str());
}

// The system's reason, as CreateFile itself gives it, for each file that cannot be made.
TEST_F(WavStreamTest, AFileThatCannotBeCreatedIsAnEngineErrorWithTheSystemsReason) {
    std::wstring folder = ExeDir() + L"\\wav_stream_folder";
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring paths[] = {ExeDir() + L"\\no such folder\\out.wav", folder};
    auto stream = engine_->CreateFileStream();
    for (const auto& path : paths) {
        SCOPED_TRACE(WideToUtf8(path));
        HANDLE raw = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD reason = GetLastError();
        ASSERT_EQ(raw, INVALID_HANDLE_VALUE);
        try {
            stream->OpenForWrite(WideToAnsi(path));
            ADD_FAILURE() << "no error";
        } catch (const EngineError& e) {
            std::printf("%s\n", e.what());
            EXPECT_EQ(std::string(e.what()), DescribeHResult(HRESULT_FROM_WIN32(reason)));
        }
        EXPECT_NO_THROW(stream->Close()) << "nothing is open";
    }
    RemoveDirectoryW(folder.c_str());
}

// The stream as SAPI sees it, without a voice: positions from the first sample, an odd
// amount of data padded, and nothing written once the file is closed.
TEST(WavFileStream, KeepsWhatIsWrittenAndTakesNothingAfterClose) {
    ScopedCom com;
    std::wstring path = ExeDir() + L"\\wav_stream_direct.wav";
    auto stream = WavFileStream::Create();
    stream->SetFormat(kPcm16kHz16BitMono);
    ASSERT_EQ(stream->Open(path), S_OK);
    GUID id{};
    WAVEFORMATEX* wf = nullptr;
    ASSERT_EQ(stream->GetFormat(&id, &wf), S_OK);
    EXPECT_TRUE(id == kWaveFormatExId);
    EXPECT_EQ(wf->nSamplesPerSec, 16000u);
    EXPECT_EQ(wf->nBlockAlign, 2);
    CoTaskMemFree(wf);

    ULONG written = 0;
    EXPECT_EQ(stream->Write("abcd", 4, &written), S_OK);
    EXPECT_EQ(written, 4u);
    LARGE_INTEGER back;
    back.QuadPart = 1;
    ULARGE_INTEGER at{};
    EXPECT_EQ(stream->Seek(back, STREAM_SEEK_SET, &at), S_OK);
    EXPECT_EQ(at.QuadPart, 1u);
    EXPECT_EQ(stream->Write("XYZWV", 5, nullptr), S_OK);  // over "bcd" and two more: 6 bytes
    STATSTG stat{};
    EXPECT_EQ(stream->Stat(&stat, STATFLAG_NONAME), S_OK);
    EXPECT_EQ(stat.cbSize.QuadPart, 6u);
    ASSERT_EQ(stream->Write("!", 1, nullptr), S_OK);  // 7 bytes: odd
    ASSERT_EQ(stream->Close(), S_OK);

    EXPECT_TRUE(FAILED(stream->Write("more", 4, &written)));
    EXPECT_EQ(written, 0u);
    std::string file = ReadAll(path);
    ASSERT_EQ(file.size(), kWavHeaderSize + 8);
    auto header = WavHeader(kPcm16kHz16BitMono, 7);
    EXPECT_EQ(file.substr(0, kWavHeaderSize), std::string(header.begin(), header.end()));
    EXPECT_EQ(file.substr(kWavHeaderSize), std::string("aXYZWV!\0", 8));
    DeleteFileW(path.c_str());
}

}  // namespace
