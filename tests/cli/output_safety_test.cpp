// Hostile bytes from the web and the data files through every writer a person or a parser
// reads: the command line's status line, the card file and the JSON result. Each output is
// checked as its reader takes it (a strict UTF-8 decoder, a JSON parser, a terminal that obeys
// control bytes), not against the writer's own helpers.

#include <sys/stat.h>
#include <unistd.h>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringDecoder>

#include <cstring>
#include <filesystem>
#include <thread>

#include <gtest/gtest.h>

#include "cli/cli_output.h"
#include "cli/run_result.h"
#include "study/word_cards.h"
#include "support/temporary_directory.h"

namespace quillmark {
namespace {

bool DecodesAsUtf8(const std::string& bytes) {
  QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  const QString text = decoder(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
  return !text.isNull() && !decoder.hasError();
}

// No byte a terminal or viewer would obey: C0 (but `allowed`), DEL, and C1 in UTF-8.
bool FreeOfControls(const std::string& bytes, std::string_view allowed) {
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    if ((byte < 0x20 || byte == 0x7F) && allowed.find(bytes[i]) == std::string_view::npos)
      return false;
    if (byte == 0xC2 && i + 1 < bytes.size() && static_cast<unsigned char>(bytes[i + 1]) < 0xA0 &&
        static_cast<unsigned char>(bytes[i + 1]) >= 0x80)
      return false;
  }
  return true;
}

std::string EveryByteValue() {
  std::string bytes;
  for (int byte = 0; byte < 256; ++byte) bytes += static_cast<char>(byte);
  return bytes;
}

struct HostileCase {
  const char* what;
  std::string bytes;
};

const HostileCase kHostile[] = {
    {"terminal title and clear", "\x1b]0;title\x07\x1b[2J"},
    {"a redirect's host: mark-up, a tab, a Shift-JIS pair",
     "evil\"'<img src=x onerror=alert(1)>\tx\xe9\x81"},
    {"latin-1", "\xe9S caf\xe9"},
    {"c1 csi",
     "\xc2\x9b"
     "31m"},
    {"every byte value (nul, cr, lf, del, stray and overlong bytes)", EveryByteValue()},
};

TEST(OutputSafety, HostileBytesLeaveEveryWriterReadable) {
  ASSERT_FALSE(DecodesAsUtf8("caf\xe9"));  // the check itself sees a bad byte
  for (const auto& c : kHostile) {
    SCOPED_TRACE(c.what);
    const std::string status = PrintableStatusLine("http://" + c.bytes + "/接続開始");
    EXPECT_TRUE(DecodesAsUtf8(status)) << status;
    EXPECT_TRUE(FreeOfControls(status, "\t")) << status;

    const SentenceStore sentences{{c.bytes, {"The zorb rolled"}}};
    const std::string cards =
        WriteWordCards({{"ZORB", 1}}, {}, 30, CardWords::kShown, sentences, {}, WebDictionary::kGoo,
                       [&](const std::string&) { return c.bytes; });
    EXPECT_TRUE(DecodesAsUtf8(cards)) << cards;
    EXPECT_TRUE(FreeOfControls(cards, "\t\n")) << cards;
    ASSERT_TRUE(cards.starts_with(kWordCardsHeader) && cards.ends_with('\n'));
    const QList<QByteArray> fields =
        QByteArray::fromStdString(cards.substr(std::strlen(kWordCardsHeader)))
            .chopped(1)
            .split('\t');
    ASSERT_EQ(fields.size(), 6) << cards;
    for (const int hostOrMeaning : {3, 5})
      EXPECT_FALSE(fields[hostOrMeaning].contains('<') || fields[hostOrMeaning].contains('>') ||
                   fields[hostOrMeaning].contains('"'))
          << cards;

    const RunResult result{{}, {{"ZORB", 1}}, {c.bytes}};
    const std::string json = FormatRunResult(result, {}, 31, true, ResultFormat::kJson);
    EXPECT_TRUE(DecodesAsUtf8(json)) << json;
    EXPECT_TRUE(FreeOfControls(json, "\n")) << json;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(json), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    EXPECT_EQ(document["learned"].toArray().size(), 1);
  }
}

}  // namespace
}  // namespace quillmark

namespace quillmark {
namespace {

// A file the user names is written as it stands when it is not a regular file: a FIFO keeps
// being a FIFO and its reader gets the bytes, a device stays the device (a full one fails), and
// only a regular or new file is replaced.
TEST(NamedOutput, AFifoOrADeviceIsWrittenAsItStandsAndOnlyAFileIsReplaced) {
  const testing::TemporaryDirectory directory;
  const std::string fifo = directory.Path() + "report.fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::string read;
  std::thread reader([&] { read = testing::FileBytes(fifo); });
  EXPECT_EQ(WriteNamedOutput(fifo, "<html>report</html>"), NamedOutput::kDirect);
  reader.join();
  EXPECT_EQ(read, "<html>report</html>");
  struct stat status {};
  ASSERT_EQ(::stat(fifo.c_str(), &status), 0);
  EXPECT_TRUE(S_ISFIFO(status.st_mode));

  EXPECT_EQ(WriteNamedOutput("/dev/null", "cards"), NamedOutput::kDirect);
  ASSERT_EQ(::stat("/dev/null", &status), 0);
  EXPECT_TRUE(S_ISCHR(status.st_mode));
  if (::access("/dev/full", W_OK) == 0) {
    EXPECT_THROW(WriteNamedOutput("/dev/full", "cards"), FileError);
    ASSERT_EQ(::stat("/dev/full", &status), 0);
    EXPECT_TRUE(S_ISCHR(status.st_mode));
  }

  const std::string file = directory.Path() + "report.html";
  for (const char* bytes : {"first", "second"}) {  // new, then replaced
    EXPECT_EQ(WriteNamedOutput(file, bytes), NamedOutput::kReplaced);
    EXPECT_EQ(testing::FileBytes(file), bytes);
  }
}

}  // namespace
}  // namespace quillmark
