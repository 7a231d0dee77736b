#pragma once
// A parsed HTML page as a flat array of nodes in document order, behind which the HTML5 parser
// (gumbo) stays hidden: the extractor and the link reader see only these types.
//
// Node i's subtree is the range [i, end) of the array, so a walk over a subtree is a loop and
// per-node sums can be made in one backward pass. Text is UTF-8 with character references
// decoded by the parser; comments are left out.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <stdexcept>
#include <string_view>
#include <vector>

namespace quillmark {

// The elements the article reading tells apart; every other element is kOther.
enum class HtmlTag : std::uint8_t {
  kText,  // not an element: a text node
  kOther,
  kHtml,
  kHead,
  kTitle,
  kMeta,
  kLink,
  kBase,
  kBody,
  kScript,
  kStyle,
  kNoscript,
  kTemplate,
  kSvg,
  kMath,
  kIframe,
  kFrame,
  kObject,
  kEmbed,
  kCanvas,
  kVideo,
  kAudio,
  kPicture,
  kSource,
  kImg,
  kForm,
  kInput,
  kButton,
  kSelect,
  kTextarea,
  kLabel,
  kOption,
  kNav,
  kAside,
  kHeader,
  kFooter,
  kArticle,
  kMain,
  kSection,
  kDiv,
  kSpan,
  kAddress,
  kP,
  kH1,
  kH2,
  kH3,
  kH4,
  kH5,
  kH6,
  kHgroup,
  kUl,
  kOl,
  kLi,
  kDl,
  kDt,
  kDd,
  kMenu,
  kBlockquote,
  kPre,
  kCode,
  kTable,
  kThead,
  kTbody,
  kTfoot,
  kTr,
  kTd,
  kTh,
  kCaption,
  kFigure,
  kFigcaption,
  kA,
  kBr,
  kHr,
  kTime,
  kDetails,
  kSummary,
  kDialog,
  kB,
  kStrong,
  kI,
  kEm,
  kU,
  kSmall,
  kSub,
  kSup,
  kMark,
  kQ,
  kCite,
  kAbbr,
};

struct HtmlNode {
  HtmlTag tag = HtmlTag::kOther;
  std::uint32_t parent = 0;       // the root's parent is itself
  std::uint32_t end = 0;          // one past the last node of the subtree
  std::string_view text;          // a text node's text
  const void* element = nullptr;  // the parser's element, for Attribute
};

// What one parse may spend. The parser's every allocation is counted against `memoryBytes`
// (with the tree's own array beside it), and `stop` is asked every kStopCheckAllocations
// allocations (some milliseconds of parsing): a parse past its memory, or told to stop (its
// time is up, the user cancelled, a signal came), is abandoned at once and all its memory freed.
struct ParseBounds {
  std::size_t memoryBytes = std::numeric_limits<std::size_t>::max();
  std::function<bool()> stop;
};
inline constexpr std::size_t kStopCheckAllocations = 4096;

// Thrown by HtmlTree when the parse passed its ParseBounds.
class ParseAbandoned : public std::runtime_error {
 public:
  ParseAbandoned() : std::runtime_error("the page's parse passed its bounds") {}
};

class HtmlTree {
 public:
  // Parses `utf8` (the page already decoded to UTF-8). Never fails on bad mark-up; throws
  // ParseAbandoned past `bounds`, else std::bad_alloc only. The parser may point into `utf8`,
  // which must outlive the tree.
  explicit HtmlTree(std::string_view utf8, const ParseBounds& bounds = {});
  ~HtmlTree();
  HtmlTree(const HtmlTree&) = delete;
  HtmlTree& operator=(const HtmlTree&) = delete;

  const std::vector<HtmlNode>& Nodes() const { return nodes_; }
  const HtmlNode& operator[](std::uint32_t i) const { return nodes_[i]; }
  std::uint32_t size() const { return static_cast<std::uint32_t>(nodes_.size()); }

  // The value of attribute `name` (lower case) of element node `i`; empty when it has none.
  std::string_view Attribute(std::uint32_t i, const char* name) const;
  // Whether element node `i` has attribute `name`.
  bool HasAttribute(std::uint32_t i, const char* name) const;
  // The element's tag name as the parser normalised it ("p", "custom-tag").
  std::string_view TagName(std::uint32_t i) const;

 private:
  struct Parse;
  std::unique_ptr<Parse> parse_;
  std::vector<HtmlNode> nodes_;
};

}  // namespace quillmark
