#include "gather/feed_reader.h"

#include <expat.h>
#include <iconv.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "gather/link_resolver.h"
#include "text/ascii_case.h"

namespace quillmark {
namespace {

// Names arrive from expat as namespace URI, this separator, local name ("local" alone when the
// element has no namespace).
constexpr char kNamespaceSeparator = ' ';

constexpr std::string_view kRdfNamespace = "http://www.w3.org/1999/02/22-rdf-syntax-ns#";
constexpr std::string_view kRss10Namespace = "http://purl.org/rss/1.0/";
constexpr std::string_view kRss090Namespace = "http://my.netscape.com/rdf/simple/0.9/";
constexpr std::string_view kAtomNamespace = "http://www.w3.org/2005/Atom";
constexpr std::string_view kDublinCoreNamespace = "http://purl.org/dc/elements/1.1/";
constexpr std::string_view kXmlNamespace = "http://www.w3.org/XML/1998/namespace";

// expat copies what it is handed into a buffer of its own: small pieces keep that buffer small
// whatever the body's size.
constexpr std::size_t kPieceBytes = 64 * 1024;
// xml:base nests with the elements; deeper than this a feed is only trying to make us hold
// its bases, and the outer base stays in force.
constexpr std::size_t kMaxBaseDepth = 32;

struct Name {
  std::string_view space;
  std::string_view local;
};

Name SplitName(const XML_Char* name) {
  const std::string_view text(name);
  const std::size_t separator = text.rfind(kNamespaceSeparator);
  if (separator == std::string_view::npos) return {{}, text};
  return {text.substr(0, separator), text.substr(separator + 1)};
}

bool IsAsciiSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsAsciiSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsAsciiSpace(text.back())) text.remove_suffix(1);
  return text;
}

const XML_Char* AttributeOf(const XML_Char** attributes, std::string_view wanted) {
  for (; attributes[0] != nullptr; attributes += 2) {
    if (wanted == attributes[0]) return attributes[1];
  }
  return nullptr;
}

// ---- Japanese encodings through expat's unknown-encoding hook ---------------------------------

struct MultiByteDecoder {
  iconv_t handle;
  bool eucJp;  // EUC-JP's 0x8F opens three bytes; Shift_JIS's is a lead byte like any other
};

int DecodeMultiByte(void* data, const char* bytes) {
  auto* decoder = static_cast<MultiByteDecoder*>(data);
  // expat hands us the sequence its lead byte announced in the map.
  const std::size_t length = decoder->eucJp && static_cast<unsigned char>(bytes[0]) == 0x8F ? 3 : 2;
  char* in = const_cast<char*>(bytes);
  std::size_t inLeft = length;
  std::array<unsigned char, 4> out{};
  char* outPointer = reinterpret_cast<char*>(out.data());
  std::size_t outLeft = out.size();
  iconv(decoder->handle, nullptr, nullptr, nullptr, nullptr);
  const std::size_t result = iconv(decoder->handle, &in, &inLeft, &outPointer, &outLeft);
  if (result == static_cast<std::size_t>(-1) || outLeft != 0) return -1;
  return static_cast<int>(out[0] | (out[1] << 8) | (out[2] << 16) | (out[3] << 24));
}

void ReleaseDecoder(void* data) {
  auto* decoder = static_cast<MultiByteDecoder*>(data);
  iconv_close(decoder->handle);
  delete decoder;
}

bool NameIsOneOf(std::string_view name, std::initializer_list<std::string_view> names) {
  return std::any_of(names.begin(), names.end(), [name](std::string_view known) {
    return EqualsIgnoringAsciiCase(name, known);
  });
}

int UnknownEncoding(void*, const XML_Char* name, XML_Encoding* info) {
  const std::string_view encoding(name);
  const bool shiftJis = NameIsOneOf(
      encoding, {"Shift_JIS", "Shift-JIS", "SJIS", "x-sjis", "MS_Kanji", "CP932", "Windows-31J"});
  const bool eucJp = NameIsOneOf(encoding, {"EUC-JP", "x-euc-jp", "EUCJP"});
  if (!shiftJis && !eucJp) return XML_STATUS_ERROR;
  for (int byte = 0; byte < 256; ++byte) {
    if (byte < 0x80) {
      info->map[byte] = byte;
    } else if (shiftJis) {
      if ((byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC)) {
        info->map[byte] = -2;
      } else if (byte >= 0xA1 && byte <= 0xDF) {
        info->map[byte] = 0xFF61 + (byte - 0xA1);  // half-width katakana
      } else {
        info->map[byte] = -1;
      }
    } else if (byte == 0x8E || (byte >= 0xA1 && byte <= 0xFE)) {
      info->map[byte] = -2;
    } else {
      info->map[byte] = byte == 0x8F ? -3 : -1;
    }
  }
  const iconv_t handle = iconv_open("UTF-32LE", shiftJis ? "CP932" : "EUC-JP");
  if (handle == reinterpret_cast<iconv_t>(-1)) return XML_STATUS_ERROR;
  info->data = new MultiByteDecoder{handle, eucJp};
  info->convert = DecodeMultiByte;
  info->release = ReleaseDecoder;
  return XML_STATUS_OK;
}

// ---- Reading the feed ---------------------------------------------------------------------

struct HeldItem {
  FeedItem item;
  std::optional<std::int64_t> seconds;
  std::size_t order = 0;
};

// Whether `a` comes before `b` in the newest-first order.
bool Newer(const HeldItem& a, const HeldItem& b) {
  if (a.seconds.has_value() != b.seconds.has_value()) return a.seconds.has_value();
  if (a.seconds && *a.seconds != *b.seconds) return *a.seconds > *b.seconds;
  return a.order < b.order;
}

enum class Field { kNone, kTitle, kLink, kGuid, kDate, kUpdated, kPublished };

class FeedParser {
 public:
  FeedParser(std::string_view address, std::size_t keep) : keep_(keep) {
    bases_.push_back({0, std::string(address)});
  }

  void Start(XML_Parser parser, const XML_Char* rawName, const XML_Char** attributes) {
    ++depth_;
    const Name name = SplitName(rawName);
    if (depth_ == 1) {
      if (name.local == "rss" && name.space.empty()) {
        kind_ = FeedKind::kRss;
      } else if (name.local == "RDF" && name.space == kRdfNamespace) {
        kind_ = FeedKind::kRdf;
      } else if (name.local == "feed" && name.space == kAtomNamespace) {
        kind_ = FeedKind::kAtom;
      } else {
        XML_StopParser(parser, XML_FALSE);
        return;
      }
      isFeed_ = true;
    }
    PushBase(attributes);
    if (itemDepth_ == 0) {
      if (IsItem(name)) {
        itemDepth_ = depth_;
        current_ = HeldItem{};
        current_.order = order_++;
        guidIsLink_ = false;
        if (kind_ == FeedKind::kRdf) {
          if (const XML_Char* about = AttributeOf(
                  attributes, std::string(kRdfNamespace) + kNamespaceSeparator + "about")) {
            aboutAddress_ = Trimmed(about);
          }
        }
      }
      return;
    }
    if (depth_ != itemDepth_ + 1) return;
    field_ = FieldOf(name);
    if (field_ == Field::kGuid) {
      const XML_Char* permaLink = AttributeOf(attributes, "isPermaLink");
      guidIsLink_ = permaLink == nullptr || std::string_view(permaLink) != "false";
      guid_.clear();
    }
    if (kind_ == FeedKind::kAtom && field_ == Field::kLink) {
      field_ = Field::kNone;  // Atom's link is an empty element: its address is an attribute
      const XML_Char* rel = AttributeOf(attributes, "rel");
      const XML_Char* href = AttributeOf(attributes, "href");
      if (href != nullptr && (rel == nullptr || std::string_view(rel) == "alternate") &&
          current_.item.address.empty()) {
        current_.item.address = Resolved(Trimmed(href));
      }
    } else if (field_ == Field::kLink) {
      link_.clear();
    }
  }

  void End() {
    if (itemDepth_ != 0 && depth_ == itemDepth_ + 1) EndField();
    if (depth_ == itemDepth_ && itemDepth_ != 0) EndItem();
    while (bases_.size() > 1 && bases_.back().depth == depth_) bases_.pop_back();
    --depth_;
  }

  void Text(const XML_Char* text, int length) {
    if (field_ == Field::kNone) return;
    std::string* target = nullptr;
    std::size_t ceiling = 0;
    switch (field_) {
      case Field::kTitle:
        target = &current_.item.title;
        ceiling = kMaxFeedTitleBytes;
        break;
      case Field::kLink:
        target = &link_;
        ceiling = kMaxFeedLinkBytes;
        break;
      case Field::kGuid:
        target = &guid_;
        ceiling = kMaxFeedLinkBytes;
        break;
      default:
        target =
            &dateText_[static_cast<std::size_t>(field_) - static_cast<std::size_t>(Field::kDate)];
        ceiling = kMaxFeedDateBytes;
        break;
    }
    const std::size_t room = ceiling - std::min(ceiling, target->size());
    target->append(text, std::min(room, static_cast<std::size_t>(length)));
  }

  bool IsFeed() const { return isFeed_; }

  Feed Result(bool broken) {
    std::sort(held_.begin(), held_.end(), Newer);
    Feed feed;
    feed.kind = kind_;
    feed.broken = broken;
    feed.items.reserve(held_.size());
    for (HeldItem& held : held_) feed.items.push_back(std::move(held.item));
    return feed;
  }

 private:
  struct Base {
    int depth;
    std::string address;
  };

  bool IsItem(const Name& name) const {
    if (kind_ == FeedKind::kAtom) return name.local == "entry" && name.space == kAtomNamespace;
    return name.local == "item" &&
           (name.space.empty() || name.space == kRss10Namespace || name.space == kRss090Namespace);
  }

  Field FieldOf(const Name& name) const {
    if (name.space == kDublinCoreNamespace)
      return name.local == "date" ? Field::kDate : Field::kNone;
    if (kind_ == FeedKind::kAtom) {
      if (name.space != kAtomNamespace) return Field::kNone;
      if (name.local == "title") return Field::kTitle;
      if (name.local == "link") return Field::kLink;
      if (name.local == "updated") return Field::kUpdated;
      if (name.local == "published") return Field::kPublished;
      return Field::kNone;
    }
    if (!name.space.empty() && name.space != kRss10Namespace && name.space != kRss090Namespace) {
      return Field::kNone;
    }
    if (name.local == "title") return Field::kTitle;
    if (name.local == "link") return Field::kLink;
    if (name.local == "guid") return Field::kGuid;
    if (name.local == "pubDate") return Field::kDate;
    return Field::kNone;
  }

  void PushBase(const XML_Char** attributes) {
    const XML_Char* base =
        AttributeOf(attributes, std::string(kXmlNamespace) + kNamespaceSeparator + "base");
    if (base == nullptr || bases_.size() >= kMaxBaseDepth) return;
    bases_.push_back({depth_, Resolved(Trimmed(base))});
  }

  std::string Resolved(std::string_view link) const {
    std::optional<std::string> resolved = ResolveLink(bases_.back().address, link);
    return resolved ? std::move(*resolved) : std::string();
  }

  void EndField() {
    if (field_ == Field::kLink && current_.item.address.empty()) {
      const std::string_view link = Trimmed(link_);
      if (!link.empty()) current_.item.address = Resolved(link);
    }
    field_ = Field::kNone;
  }

  void EndItem() {
    itemDepth_ = 0;
    // RSS 2.0 lets a permanent guid stand for the link; RSS 1.0 names the item by rdf:about.
    if (current_.item.address.empty() && guidIsLink_ && !Trimmed(guid_).empty()) {
      current_.item.address = Resolved(Trimmed(guid_));
    }
    if (current_.item.address.empty() && !aboutAddress_.empty()) {
      current_.item.address = Resolved(aboutAddress_);
    }
    aboutAddress_.clear();
    // The first date of the item's own that reads: the one the item was last changed on when
    // there is one, else the one it was first published on.
    for (std::string& text : dateText_) {
      if (!current_.seconds) {
        if (std::optional<std::int64_t> seconds = FeedDateSeconds(Trimmed(text))) {
          current_.seconds = seconds;
          current_.item.date = IsoDateOf(*seconds);
        }
      }
      text.clear();
    }
    current_.item.title = std::string(Trimmed(current_.item.title));
    if (current_.item.address.empty() || keep_ == 0) return;
    if (held_.size() < keep_) {
      held_.push_back(std::move(current_));
      return;
    }
    // Full: the new item replaces the oldest held one when it is newer.
    auto oldest =
        std::min_element(held_.begin(), held_.end(),
                         [](const HeldItem& a, const HeldItem& b) { return Newer(b, a); });
    if (Newer(current_, *oldest)) *oldest = std::move(current_);
  }

  std::size_t keep_;
  FeedKind kind_ = FeedKind::kRss;
  bool isFeed_ = false;
  int depth_ = 0;
  int itemDepth_ = 0;  // 0 outside an item
  Field field_ = Field::kNone;
  std::vector<Base> bases_;
  HeldItem current_;
  std::string link_;
  std::string guid_;
  bool guidIsLink_ = false;
  std::string aboutAddress_;
  // pubDate or dc:date, updated, published: in the order they are tried.
  std::array<std::string, 3> dateText_;
  std::size_t order_ = 0;
  std::vector<HeldItem> held_;
};

void XMLCALL OnStart(void* data, const XML_Char* name, const XML_Char** attributes) {
  auto* parser = static_cast<std::pair<FeedParser*, XML_Parser>*>(data);
  parser->first->Start(parser->second, name, attributes);
}
void XMLCALL OnEnd(void* data, const XML_Char*) {
  static_cast<std::pair<FeedParser*, XML_Parser>*>(data)->first->End();
}
void XMLCALL OnText(void* data, const XML_Char* text, int length) {
  static_cast<std::pair<FeedParser*, XML_Parser>*>(data)->first->Text(text, length);
}

struct ParserFree {
  void operator()(XML_ParserStruct* parser) const { XML_ParserFree(parser); }
};

// ---- Dates --------------------------------------------------------------------------------

// Days from 1970-01-01 to the given proleptic Gregorian date.
std::int64_t DaysFromCivil(std::int64_t year, unsigned month, unsigned day) {
  year -= month <= 2 ? 1 : 0;
  const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
  const auto yearOfEra = static_cast<unsigned>(year - era * 400);
  const unsigned dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + static_cast<std::int64_t>(dayOfEra) - 719468;
}

struct Cursor {
  std::string_view text;

  bool Digits(std::size_t low, std::size_t high, int& value) {
    std::size_t count = 0;
    value = 0;
    while (count < text.size() && count < high && text[count] >= '0' && text[count] <= '9') {
      value = value * 10 + (text[count] - '0');
      ++count;
    }
    if (count < low) return false;
    text.remove_prefix(count);
    return true;
  }
  bool Take(char c) {
    if (text.empty() || text.front() != c) return false;
    text.remove_prefix(1);
    return true;
  }
  void SkipSpaces() {
    while (!text.empty() && (IsAsciiSpace(text.front()) || text.front() == ',')) {
      text.remove_prefix(1);
    }
  }
  std::string_view Word() {
    std::size_t count = 0;
    while (count < text.size() && ((text[count] >= 'A' && text[count] <= 'Z') ||
                                   (text[count] >= 'a' && text[count] <= 'z'))) {
      ++count;
    }
    const std::string_view word = text.substr(0, count);
    text.remove_prefix(count);
    return word;
  }
};

// The furthest a zone is from UTC (the Line Islands, +14:00).
constexpr int kMaxZoneMinutes = 14 * 60;

int DaysInMonth(int year, int month) {
  static constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[static_cast<std::size_t>(month - 1)];
}

// A zone written as hours and minutes: minutes below 60, the whole within kMaxZoneMinutes.
std::optional<int> ZoneOffset(int sign, int hours, int minutes) {
  if (minutes > 59 || hours * 60 + minutes > kMaxZoneMinutes) return std::nullopt;
  return sign * (hours * 60 + minutes);
}

std::optional<std::int64_t> SecondsOf(int year, int month, int day, int hour, int minute,
                                      int second, int offsetMinutes) {
  if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) || hour > 23 ||
      minute > 59 || second > 60) {
    return std::nullopt;
  }
  return DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) * 86400 +
         hour * 3600 + minute * 60 + second - offsetMinutes * 60;
}

std::optional<std::int64_t> Rfc3339Seconds(std::string_view text) {
  Cursor at{text};
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, offset = 0;
  if (!at.Digits(4, 4, year) || !at.Take('-') || !at.Digits(2, 2, month) || !at.Take('-') ||
      !at.Digits(2, 2, day)) {
    return std::nullopt;
  }
  if (at.text.empty()) return SecondsOf(year, month, day, 0, 0, 0, 0);
  if (!at.Take('T') && !at.Take('t') && !at.Take(' ')) return std::nullopt;
  if (!at.Digits(2, 2, hour) || !at.Take(':') || !at.Digits(2, 2, minute)) return std::nullopt;
  if (at.Take(':')) {
    if (!at.Digits(2, 2, second)) return std::nullopt;
    // A fraction of a second says nothing a day's list needs; more than nanoseconds is no
    // date a feed writes (and would not fit the count).
    int fraction = 0;
    if (at.Take('.') && (!at.Digits(1, 9, fraction) ||
                         !at.text.empty() && at.text.front() >= '0' && at.text.front() <= '9')) {
      return std::nullopt;
    }
  }
  if (at.Take('Z') || at.Take('z')) {
    offset = 0;
  } else if (!at.text.empty() && (at.text.front() == '+' || at.text.front() == '-')) {
    const int sign = at.text.front() == '-' ? -1 : 1;
    at.text.remove_prefix(1);
    int offsetHours = 0, offsetMinutes = 0;
    if (!at.Digits(2, 2, offsetHours) || !at.Take(':') || !at.Digits(2, 2, offsetMinutes)) {
      return std::nullopt;
    }
    const std::optional<int> zone = ZoneOffset(sign, offsetHours, offsetMinutes);
    if (!zone) return std::nullopt;
    offset = *zone;
  } else {
    return std::nullopt;
  }
  if (!at.text.empty()) return std::nullopt;
  return SecondsOf(year, month, day, hour, minute, second, offset);
}

int MonthOf(std::string_view name) {
  static constexpr std::array<std::string_view, 12> kMonths = {
      "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  for (std::size_t i = 0; i < kMonths.size(); ++i) {
    if (EqualsIgnoringAsciiCase(name, kMonths[i])) return static_cast<int>(i) + 1;
  }
  return 0;
}

// The zones RFC 822 names; a military letter or an unknown name counts as UTC, as RFC 2822
// says to read them.
int ZoneMinutes(std::string_view zone) {
  static constexpr std::array<std::pair<std::string_view, int>, 8> kZones = {{{"EST", -5},
                                                                              {"EDT", -4},
                                                                              {"CST", -6},
                                                                              {"CDT", -5},
                                                                              {"MST", -7},
                                                                              {"MDT", -6},
                                                                              {"PST", -8},
                                                                              {"PDT", -7}}};
  for (const auto& [name, hours] : kZones) {
    if (EqualsIgnoringAsciiCase(zone, name)) return hours * 60;
  }
  return 0;
}

std::optional<std::int64_t> Rfc822Seconds(std::string_view text) {
  Cursor at{text};
  at.SkipSpaces();
  if (!at.text.empty() && !(at.text.front() >= '0' && at.text.front() <= '9')) {
    at.Word();  // the day's name says nothing the date does not
    at.SkipSpaces();
  }
  int day = 0, year = 0, hour = 0, minute = 0, second = 0;
  if (!at.Digits(1, 2, day)) return std::nullopt;
  at.SkipSpaces();
  const int month = MonthOf(at.Word());
  if (month == 0) return std::nullopt;
  at.SkipSpaces();
  const std::size_t yearStart = at.text.size();
  if (!at.Digits(2, 4, year)) return std::nullopt;
  if (yearStart - at.text.size() == 2) year += year < 50 ? 2000 : 1900;
  at.SkipSpaces();
  if (!at.Digits(1, 2, hour) || !at.Take(':') || !at.Digits(2, 2, minute)) return std::nullopt;
  if (at.Take(':') && !at.Digits(2, 2, second)) return std::nullopt;
  at.SkipSpaces();
  int offset = 0;
  if (!at.text.empty() && (at.text.front() == '+' || at.text.front() == '-')) {
    const int sign = at.text.front() == '-' ? -1 : 1;
    at.text.remove_prefix(1);
    int hhmm = 0;
    if (!at.Digits(4, 4, hhmm)) return std::nullopt;
    const std::optional<int> zone = ZoneOffset(sign, hhmm / 100, hhmm % 100);
    if (!zone) return std::nullopt;
    offset = *zone;
  } else {
    offset = ZoneMinutes(at.Word());
  }
  return SecondsOf(year, month, day, hour, minute, second, offset);
}

}  // namespace

std::optional<std::int64_t> FeedDateSeconds(std::string_view text) {
  text = Trimmed(text);
  if (text.empty()) return std::nullopt;
  if (std::optional<std::int64_t> seconds = Rfc3339Seconds(text)) return seconds;
  return Rfc822Seconds(text);
}

std::string IsoDateOf(std::int64_t seconds) {
  std::int64_t days = seconds / 86400;
  std::int64_t rest = seconds % 86400;
  if (rest < 0) {
    rest += 86400;
    --days;
  }
  // The inverse of DaysFromCivil.
  days += 719468;
  const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const auto dayOfEra = static_cast<unsigned>(days - era * 146097);
  const unsigned yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const unsigned monthIndex = (5 * dayOfYear + 2) / 153;
  const unsigned day = dayOfYear - (153 * monthIndex + 2) / 5 + 1;
  const unsigned month = monthIndex < 10 ? monthIndex + 3 : monthIndex - 9;
  const std::int64_t year = static_cast<std::int64_t>(yearOfEra) + era * 400 + (month <= 2 ? 1 : 0);
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%04lld-%02u-%02uT%02lld:%02lld:%02lldZ",
                static_cast<long long>(year), month, day, static_cast<long long>(rest / 3600),
                static_cast<long long>(rest / 60 % 60), static_cast<long long>(rest % 60));
  return buffer;
}

std::optional<Feed> ReadFeed(std::string_view body, std::string_view address, std::size_t keep) {
  const std::unique_ptr<XML_ParserStruct, ParserFree> parser(
      XML_ParserCreateNS(nullptr, kNamespaceSeparator));
  if (!parser) throw std::bad_alloc();
  FeedParser feed(address, keep);
  std::pair<FeedParser*, XML_Parser> data{&feed, parser.get()};
  XML_SetUserData(parser.get(), &data);
  XML_SetElementHandler(parser.get(), OnStart, OnEnd);
  XML_SetCharacterDataHandler(parser.get(), OnText);
  XML_SetUnknownEncodingHandler(parser.get(), UnknownEncoding, nullptr);

  bool broken = false;
  std::size_t offset = 0;
  do {
    const std::size_t length = std::min(kPieceBytes, body.size() - offset);
    const bool last = offset + length == body.size();
    if (XML_Parse(parser.get(), body.data() + offset, static_cast<int>(length),
                  last ? XML_TRUE : XML_FALSE) != XML_STATUS_OK) {
      if (XML_GetErrorCode(parser.get()) == XML_ERROR_NO_MEMORY) throw std::bad_alloc();
      broken = true;
      break;
    }
    offset += length;
  } while (offset < body.size());
  if (!feed.IsFeed()) return std::nullopt;
  return feed.Result(broken);
}

bool LooksLikeFeed(std::string_view body, std::string_view contentType) {
  const std::string type = LowerCaseAscii(contentType.substr(0, contentType.find(';')));
  for (const std::string_view feedType :
       {"application/rss+xml", "application/atom+xml", "application/rdf+xml"}) {
    if (type.find(feedType) != std::string::npos) return true;
  }
  if (body.starts_with("\xEF\xBB\xBF")) body.remove_prefix(3);
  // Only the start of the body: what comes before the first element is short on any feed.
  body = body.substr(0, 4096);
  for (;;) {
    body.remove_prefix(std::min(body.find_first_not_of(" \t\r\n"), body.size()));
    std::string_view close;
    if (body.starts_with("<?")) {
      close = "?>";
    } else if (body.starts_with("<!--")) {
      close = "-->";
    } else if (body.starts_with("<!")) {
      close = ">";
    } else {
      break;
    }
    const std::size_t end = body.find(close, 2);
    if (end == std::string_view::npos) return false;
    body.remove_prefix(end + close.size());
  }
  const std::string start = LowerCaseAscii(body.substr(0, 9));
  for (const std::string_view root : {"<rss", "<feed", "<rdf:rdf"}) {
    if (start.starts_with(root) && start.size() > root.size() &&
        std::string_view(" \t\r\n>/").find(start[root.size()]) != std::string_view::npos)
      return true;
  }
  return false;
}

}  // namespace quillmark
