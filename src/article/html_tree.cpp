#include "article/html_tree.h"

#include <gumbo.h>

#include <csetjmp>
#include <cstdlib>
#include <new>
#include <utility>

namespace quillmark {
namespace {

HtmlTag TagOf(GumboTag tag) {
  switch (tag) {
    case GUMBO_TAG_HTML:
      return HtmlTag::kHtml;
    case GUMBO_TAG_HEAD:
      return HtmlTag::kHead;
    case GUMBO_TAG_TITLE:
      return HtmlTag::kTitle;
    case GUMBO_TAG_META:
      return HtmlTag::kMeta;
    case GUMBO_TAG_LINK:
      return HtmlTag::kLink;
    case GUMBO_TAG_BASE:
      return HtmlTag::kBase;
    case GUMBO_TAG_BODY:
      return HtmlTag::kBody;
    case GUMBO_TAG_SCRIPT:
      return HtmlTag::kScript;
    case GUMBO_TAG_STYLE:
      return HtmlTag::kStyle;
    case GUMBO_TAG_NOSCRIPT:
      return HtmlTag::kNoscript;
    case GUMBO_TAG_TEMPLATE:
      return HtmlTag::kTemplate;
    case GUMBO_TAG_SVG:
      return HtmlTag::kSvg;
    case GUMBO_TAG_MATH:
      return HtmlTag::kMath;
    case GUMBO_TAG_IFRAME:
      return HtmlTag::kIframe;
    case GUMBO_TAG_FRAME:
      return HtmlTag::kFrame;
    case GUMBO_TAG_OBJECT:
      return HtmlTag::kObject;
    case GUMBO_TAG_EMBED:
      return HtmlTag::kEmbed;
    case GUMBO_TAG_CANVAS:
      return HtmlTag::kCanvas;
    case GUMBO_TAG_VIDEO:
      return HtmlTag::kVideo;
    case GUMBO_TAG_AUDIO:
      return HtmlTag::kAudio;
    case GUMBO_TAG_SOURCE:
      return HtmlTag::kSource;
    case GUMBO_TAG_IMG:
      return HtmlTag::kImg;
    case GUMBO_TAG_FORM:
      return HtmlTag::kForm;
    case GUMBO_TAG_INPUT:
      return HtmlTag::kInput;
    case GUMBO_TAG_BUTTON:
      return HtmlTag::kButton;
    case GUMBO_TAG_SELECT:
      return HtmlTag::kSelect;
    case GUMBO_TAG_TEXTAREA:
      return HtmlTag::kTextarea;
    case GUMBO_TAG_LABEL:
      return HtmlTag::kLabel;
    case GUMBO_TAG_OPTION:
      return HtmlTag::kOption;
    case GUMBO_TAG_NAV:
      return HtmlTag::kNav;
    case GUMBO_TAG_ASIDE:
      return HtmlTag::kAside;
    case GUMBO_TAG_HEADER:
      return HtmlTag::kHeader;
    case GUMBO_TAG_FOOTER:
      return HtmlTag::kFooter;
    case GUMBO_TAG_ARTICLE:
      return HtmlTag::kArticle;
    case GUMBO_TAG_MAIN:
      return HtmlTag::kMain;
    case GUMBO_TAG_SECTION:
      return HtmlTag::kSection;
    case GUMBO_TAG_DIV:
      return HtmlTag::kDiv;
    case GUMBO_TAG_SPAN:
      return HtmlTag::kSpan;
    case GUMBO_TAG_ADDRESS:
      return HtmlTag::kAddress;
    case GUMBO_TAG_P:
      return HtmlTag::kP;
    case GUMBO_TAG_H1:
      return HtmlTag::kH1;
    case GUMBO_TAG_H2:
      return HtmlTag::kH2;
    case GUMBO_TAG_H3:
      return HtmlTag::kH3;
    case GUMBO_TAG_H4:
      return HtmlTag::kH4;
    case GUMBO_TAG_H5:
      return HtmlTag::kH5;
    case GUMBO_TAG_H6:
      return HtmlTag::kH6;
    case GUMBO_TAG_HGROUP:
      return HtmlTag::kHgroup;
    case GUMBO_TAG_UL:
      return HtmlTag::kUl;
    case GUMBO_TAG_OL:
      return HtmlTag::kOl;
    case GUMBO_TAG_LI:
      return HtmlTag::kLi;
    case GUMBO_TAG_DL:
      return HtmlTag::kDl;
    case GUMBO_TAG_DT:
      return HtmlTag::kDt;
    case GUMBO_TAG_DD:
      return HtmlTag::kDd;
    case GUMBO_TAG_MENU:
      return HtmlTag::kMenu;
    case GUMBO_TAG_BLOCKQUOTE:
      return HtmlTag::kBlockquote;
    case GUMBO_TAG_PRE:
      return HtmlTag::kPre;
    case GUMBO_TAG_CODE:
      return HtmlTag::kCode;
    case GUMBO_TAG_TABLE:
      return HtmlTag::kTable;
    case GUMBO_TAG_THEAD:
      return HtmlTag::kThead;
    case GUMBO_TAG_TBODY:
      return HtmlTag::kTbody;
    case GUMBO_TAG_TFOOT:
      return HtmlTag::kTfoot;
    case GUMBO_TAG_TR:
      return HtmlTag::kTr;
    case GUMBO_TAG_TD:
      return HtmlTag::kTd;
    case GUMBO_TAG_TH:
      return HtmlTag::kTh;
    case GUMBO_TAG_CAPTION:
      return HtmlTag::kCaption;
    case GUMBO_TAG_FIGURE:
      return HtmlTag::kFigure;
    case GUMBO_TAG_FIGCAPTION:
      return HtmlTag::kFigcaption;
    case GUMBO_TAG_A:
      return HtmlTag::kA;
    case GUMBO_TAG_BR:
      return HtmlTag::kBr;
    case GUMBO_TAG_HR:
      return HtmlTag::kHr;
    case GUMBO_TAG_TIME:
      return HtmlTag::kTime;
    case GUMBO_TAG_DETAILS:
      return HtmlTag::kDetails;
    case GUMBO_TAG_SUMMARY:
      return HtmlTag::kSummary;
    case GUMBO_TAG_B:
      return HtmlTag::kB;
    case GUMBO_TAG_STRONG:
      return HtmlTag::kStrong;
    case GUMBO_TAG_I:
      return HtmlTag::kI;
    case GUMBO_TAG_EM:
      return HtmlTag::kEm;
    case GUMBO_TAG_U:
      return HtmlTag::kU;
    case GUMBO_TAG_SMALL:
      return HtmlTag::kSmall;
    case GUMBO_TAG_SUB:
      return HtmlTag::kSub;
    case GUMBO_TAG_SUP:
      return HtmlTag::kSup;
    case GUMBO_TAG_MARK:
      return HtmlTag::kMark;
    case GUMBO_TAG_Q:
      return HtmlTag::kQ;
    case GUMBO_TAG_CITE:
      return HtmlTag::kCite;
    case GUMBO_TAG_ABBR:
      return HtmlTag::kAbbr;
    default:
      return HtmlTag::kOther;
  }
}

// Elements newer than the parser's list of tags, by the name written.
HtmlTag UnknownTagOf(const GumboElement& element) {
  GumboStringPiece name = element.original_tag;
  gumbo_tag_from_original_text(&name);
  const std::string_view written(name.data, name.length);
  if (written.size() == 6 && (written[0] | 0x20) == 'd' && (written[1] | 0x20) == 'i' &&
      (written[2] | 0x20) == 'a' && (written[3] | 0x20) == 'l' && (written[4] | 0x20) == 'o' &&
      (written[5] | 0x20) == 'g')
    return HtmlTag::kDialog;
  return HtmlTag::kOther;
}

const GumboElement* ElementOf(const void* element) {
  return static_cast<const GumboElement*>(element);
}

// Every block the parser holds, in one list: the budget counts them, and the whole tree is
// freed by walking the list (gumbo's own destruction recurses once per level of nesting, and
// a parse abandoned half-way has no tree to destroy).
struct BlockHeader {
  BlockHeader* previous;
  BlockHeader* next;
  std::size_t size;
};
constexpr std::size_t kHeaderBytes = (sizeof(BlockHeader) + 15) / 16 * 16;

// The parser's allocator. A parse that passes its bounds is left by a long jump back to where
// it started: gumbo is C and has no way to fail an allocation, and every frame between is
// gumbo's or this allocator's, none holding anything to destroy.
struct ParseArena {
  BlockHeader* blocks = nullptr;
  std::size_t used = 0;
  std::size_t limit = 0;
  std::size_t allocations = 0;
  const std::function<bool()>* stop = nullptr;
  int abandonedFor = 0;  // 1: its bounds, 2: no memory at all
  std::jmp_buf abandon;

  [[noreturn]] void Abandon(int reason) {
    abandonedFor = reason;
    std::longjmp(abandon, 1);
  }

  ~ParseArena() {
    while (blocks != nullptr) {
      BlockHeader* next = blocks->next;
      std::free(blocks);
      blocks = next;
    }
  }
};

void* ArenaAllocate(void* userdata, std::size_t size) {
  auto& arena = *static_cast<ParseArena*>(userdata);
  if (++arena.allocations % kStopCheckAllocations == 0 && *arena.stop && (*arena.stop)())
    arena.Abandon(1);
  if (size > arena.limit - arena.used || kHeaderBytes > arena.limit - arena.used - size)
    arena.Abandon(1);
  auto* block = static_cast<BlockHeader*>(std::malloc(kHeaderBytes + size));
  if (block == nullptr) arena.Abandon(2);
  block->previous = nullptr;
  block->next = arena.blocks;
  block->size = kHeaderBytes + size;
  if (arena.blocks != nullptr) arena.blocks->previous = block;
  arena.blocks = block;
  arena.used += block->size;
  return reinterpret_cast<char*>(block) + kHeaderBytes;
}

void ArenaFree(void* userdata, void* pointer) {
  if (pointer == nullptr) return;
  auto& arena = *static_cast<ParseArena*>(userdata);
  auto* block = reinterpret_cast<BlockHeader*>(static_cast<char*>(pointer) - kHeaderBytes);
  if (block->previous != nullptr)
    block->previous->next = block->next;
  else
    arena.blocks = block->next;
  if (block->next != nullptr) block->next->previous = block->previous;
  arena.used -= block->size;
  std::free(block);
}

}  // namespace

struct HtmlTree::Parse {
  GumboOptions options = kGumboDefaultOptions;
  GumboOutput* output = nullptr;
  ParseArena arena;  // owns every block of `output`
};

namespace {

// 0 when the parse ended, else how it was abandoned (ParseArena::abandonedFor). Nothing with a
// destructor lives in this frame: the allocator may jump back into it.
int ParseWithinBounds(GumboOptions& options, GumboOutput*& output, ParseArena& arena,
                      std::string_view utf8) {
  if (setjmp(arena.abandon) != 0) return arena.abandonedFor;
  output = gumbo_parse_with_options(&options, utf8.data(), utf8.size());
  return 0;
}

}  // namespace

HtmlTree::HtmlTree(std::string_view utf8, const ParseBounds& bounds)
    : parse_(std::make_unique<Parse>()) {
  // The parse errors are of no use here and would grow with every broken tag of the page.
  parse_->options.max_errors = 0;
  ParseArena& arena = parse_->arena;
  arena.limit = bounds.memoryBytes;
  arena.stop = &bounds.stop;
  parse_->options.allocator = ArenaAllocate;
  parse_->options.deallocator = ArenaFree;
  parse_->options.userdata = &arena;
  const int abandoned = ParseWithinBounds(parse_->options, parse_->output, arena, utf8);
  if (abandoned == 2) throw std::bad_alloc();
  if (abandoned != 0) throw ParseAbandoned();
  if (parse_->output == nullptr) throw std::bad_alloc();
  // The tree's array counts against the same bound: some 40 bytes a node beside the parser's.
  const std::size_t maxNodes =
      (arena.limit > arena.used ? arena.limit - arena.used : 0) / (2 * sizeof(HtmlNode));

  // An explicit stack instead of recursion: real pages nest thousands of levels deep.
  struct Pending {
    const GumboNode* node;
    std::uint32_t parent;
  };
  std::vector<Pending> stack{{parse_->output->root, 0}};
  std::vector<std::uint32_t> open;  // nodes whose end is still to be set, innermost last
  while (!stack.empty()) {
    const Pending item = stack.back();
    stack.pop_back();
    // Every node still open that is not an ancestor of this one has ended.
    const std::uint32_t index = size();
    while (!open.empty() && open.back() != item.parent) {
      nodes_[open.back()].end = index;
      open.pop_back();
    }
    if (nodes_.size() >= maxNodes) throw ParseAbandoned();
    const GumboNode* node = item.node;
    HtmlNode out;
    out.parent = nodes_.empty() ? 0 : item.parent;
    if (node->type == GUMBO_NODE_ELEMENT || node->type == GUMBO_NODE_TEMPLATE) {
      const GumboElement& element = node->v.element;
      out.tag = node->type == GUMBO_NODE_TEMPLATE ? HtmlTag::kTemplate : TagOf(element.tag);
      if (element.tag == GUMBO_TAG_UNKNOWN) out.tag = UnknownTagOf(element);
      out.element = &element;
      nodes_.push_back(out);
      open.push_back(index);
      for (unsigned i = element.children.length; i-- > 0;)
        stack.push_back({static_cast<const GumboNode*>(element.children.data[i]), index});
    } else if (node->type == GUMBO_NODE_TEXT || node->type == GUMBO_NODE_WHITESPACE ||
               node->type == GUMBO_NODE_CDATA) {
      out.tag = HtmlTag::kText;
      out.text = node->v.text.text;
      out.end = index + 1;
      nodes_.push_back(out);
    }
  }
  for (std::uint32_t i : open) nodes_[i].end = size();
}

HtmlTree::~HtmlTree() = default;

std::string_view HtmlTree::Attribute(std::uint32_t i, const char* name) const {
  const void* element = nodes_[i].element;
  if (element == nullptr) return {};
  const GumboAttribute* attribute = gumbo_get_attribute(&ElementOf(element)->attributes, name);
  return attribute == nullptr ? std::string_view() : std::string_view(attribute->value);
}

bool HtmlTree::HasAttribute(std::uint32_t i, const char* name) const {
  const void* element = nodes_[i].element;
  return element != nullptr &&
         gumbo_get_attribute(&ElementOf(element)->attributes, name) != nullptr;
}

std::string_view HtmlTree::TagName(std::uint32_t i) const {
  const void* element = nodes_[i].element;
  if (element == nullptr) return {};
  const GumboElement* e = ElementOf(element);
  if (e->tag != GUMBO_TAG_UNKNOWN) return gumbo_normalized_tagname(e->tag);
  GumboStringPiece piece = e->original_tag;
  gumbo_tag_from_original_text(&piece);
  return {piece.data, piece.length};
}

}  // namespace quillmark
