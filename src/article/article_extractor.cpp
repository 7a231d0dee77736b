#include "article/article_extractor.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <chrono>
#include <cstdint>
#include <string>
#include <utility>

#include "article/json_ld.h"
#include "article/page_charset.h"
#include "article/page_thinning.h"
#include "article/sentence_split.h"

namespace quillmark {
namespace {

// --- The judgements, each in one place (tuned on the 124 pages of the article corpus) ---

// Class and id words that mark a block as the page's furniture, matched anywhere in the
// lower-cased class and id ("article-comments", "ShareBar").
constexpr std::array<std::string_view, 53> kFurnitureParts = {
    "comment",      "share",         "sharing",    "social",      "related",      "recommend",
    "promo",        "cookie",        "consent",    "gdpr",        "subscri",      "newsletter",
    "signup",       "sign-up",       "sidebar",    "breadcrumb",  "navbar",       "navigation",
    "menu",         "footer",        "masthead",   "advert",      "sponsor",      "popup",
    "modal",        "outbrain",      "taboola",    "trending",    "most-popular", "mostpopular",
    "more-stories", "paywall",       "disclaimer", "toolbar",     "widget",       "byline",
    "caption",      "pagination",    "read-more",  "readmore",    "skip-link",    "login",
    "top-stories",  "editors-picks", "follow-us",  "timestamp",   "dateline",     "pubdate",
    "tag-list",     "tags-list",     "author-bio", "author-info", "about-author"};

// Furniture whose names hold an article word too ("entry-meta", "article-comments"): these
// win over it.
constexpr std::array<std::string_view, 16> kStrongFurnitureParts = {
    "entry-meta",      "post-meta",       "article-meta",     "post-tags",
    "entry-tags",      "article-tags",    "related-posts",    "related-articles",
    "related-stories", "related-content", "article-comments", "post-comments",
    "entry-footer",    "post-footer",     "post-navigation",  "article-share"};

// Whole class names (or ids) of furniture and of text hidden from sight.
constexpr std::array<std::string_view, 22> kFurnitureNames = {"ad",
                                                              "ads",
                                                              "nav",
                                                              "tags",
                                                              "tag",
                                                              "meta",
                                                              "share",
                                                              "author",
                                                              "credit",
                                                              "credits",
                                                              "topics",
                                                              "keywords",
                                                              "rail",
                                                              "hidden",
                                                              "sr-only",
                                                              "visually-hidden",
                                                              "visuallyhidden",
                                                              "screen-reader-text",
                                                              "aside",
                                                              "header",
                                                              "banner",
                                                              "print"};

// Class words of text hidden from sight but read to a screen reader ("sr-only",
// "visually-hidden"): never a headline's or the article's text.
constexpr std::array<std::string_view, 8> kHiddenParts = {
    "sr-only",      "visually-hidden",   "visuallyhidden", "screen-reader",
    "screenreader", "element-invisible", "is-hidden",      "u-hidden"};

// Class and id words of the article's own blocks.
constexpr std::array<std::string_view, 13> kArticleParts = {
    "article", "body", "content", "entry",    "main",      "post",     "story",
    "text",    "blog", "prose",   "richtext", "rich-text", "paragraph"};

// ARIA roles of furniture.
constexpr std::array<std::string_view, 9> kFurnitureRoles = {
    "navigation",  "banner", "contentinfo", "complementary", "dialog",
    "alertdialog", "menu",   "menubar",     "search"};

// What a class or id's verdict adds to a block's score.
constexpr double kClassWeight = 25;
// A scored block: at least this many letters.
constexpr std::int32_t kMinScoredLetters = 20;
// Levels of ancestors a block's score reaches.
constexpr int kScoreLevels = 5;
// A block that holds this share of the page's paragraph text is never furniture, whatever its
// class says ("<div class='post has-comments'>" around the whole article).
constexpr double kGuardShare = 0.5;
// An article has at least this many letters; below, the page is a front page.
constexpr std::int32_t kMinArticleLetters = 300;
// A headline of a front page has at least this many words.
constexpr int kMinHeadlineWords = 4;
// A paragraph mostly of link text is still the article's when it reads as a sentence: this
// many words at least, and a stop at its end.
constexpr int kMinLinkedSentenceWords = 6;
// Bare text parted by <br> reads as one paragraph for this many line breaks ("<br><br>").
constexpr int kBreaksPerParagraph = 2;
// An article in pieces: blocks of the root's own tag and class (or, for a root without a
// class, its parent's) up to this many levels above the root are pieces of the same article,
// when they hold paragraph text and no more than this share of links.
constexpr int kPieceLevels = 3;
constexpr double kMaxPieceLinkDensity = 0.33;
// An inline element inside a paragraph that holds this many links or more and nothing but
// their text is a pop-up card of a name's stories, not the sentence's words.
constexpr int kMinPopupLinks = 3;
constexpr double kMinPopupLinkDensity = 0.9;
// A div that holds blocks and text of its own, parted by <br>, is scored on that text when it
// has this many letters (an article of bare text around an advertisement or a figure).
constexpr std::int32_t kMinOwnTextLetters = 200;
// A JSON-LD articleBody replaces the blocks found when they hold less than this share of it.
constexpr double kStructuredBodyShare = 0.6;

// Paragraphs that are the page talking about itself, not the article.
constexpr std::array<std::string_view, 18> kBoilerplateParagraphs = {
    "advertisement",
    "advertisment",
    "story continues below advertisement",
    "continue reading",
    "read more",
    "related",
    "share this article",
    "share",
    "skip advertisement",
    "supported by",
    "read next",
    "more",
    "advert",
    "tags",
    "comments",
    "join the conversation",
    "tell us what you think",
    "the associated press"};

// A short paragraph that starts with "By " and ends without a stop is the byline; one that
// starts so and holds digits is the date line: neither is the article's prose.
constexpr std::array<std::string_view, 6> kDateLineStarts = {
    "Published ", "Updated ", "Posted ", "Last updated", "First published", "Updated:"};
constexpr std::size_t kMaxBylineBytes = 100;
// A paragraph of a few words holding a month and a year, without a stop at its end, is the
// page's date line ("November 19, 2019 at 9:45 am", "20 Nov, 2019 05:47").
constexpr int kMaxDateLineWords = 8;
constexpr std::array<std::string_view, 12> kMonths = {"jan", "feb", "mar", "apr", "may", "jun",
                                                      "jul", "aug", "sep", "oct", "nov", "dec"};

// --- helpers ---

bool IsBlank(unsigned char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return out;
}

bool IsDroppedTag(HtmlTag tag) {
  switch (tag) {
    case HtmlTag::kHead:
    case HtmlTag::kTitle:
    case HtmlTag::kScript:
    case HtmlTag::kStyle:
    case HtmlTag::kNoscript:
    case HtmlTag::kTemplate:
    case HtmlTag::kSvg:
    case HtmlTag::kMath:
    case HtmlTag::kIframe:
    case HtmlTag::kFrame:
    case HtmlTag::kObject:
    case HtmlTag::kEmbed:
    case HtmlTag::kCanvas:
    case HtmlTag::kVideo:
    case HtmlTag::kAudio:
    case HtmlTag::kPicture:
    case HtmlTag::kSource:
    case HtmlTag::kImg:
    case HtmlTag::kInput:
    case HtmlTag::kButton:
    case HtmlTag::kSelect:
    case HtmlTag::kTextarea:
    case HtmlTag::kOption:
    case HtmlTag::kNav:
    case HtmlTag::kAside:
    case HtmlTag::kFooter:
    case HtmlTag::kHeader:
    case HtmlTag::kDialog:
    case HtmlTag::kMenu:
    case HtmlTag::kFigcaption:
    case HtmlTag::kFigure:
    case HtmlTag::kLabel:
      return true;
    default:
      return false;
  }
}

// Tags that start and end a paragraph of the output.
bool IsBlockTag(HtmlTag tag) {
  switch (tag) {
    case HtmlTag::kP:
    case HtmlTag::kDiv:
    case HtmlTag::kSection:
    case HtmlTag::kArticle:
    case HtmlTag::kMain:
    case HtmlTag::kLi:
    case HtmlTag::kH1:
    case HtmlTag::kH2:
    case HtmlTag::kH3:
    case HtmlTag::kH4:
    case HtmlTag::kH5:
    case HtmlTag::kH6:
    case HtmlTag::kBlockquote:
    case HtmlTag::kPre:
    case HtmlTag::kTd:
    case HtmlTag::kTh:
    case HtmlTag::kTr:
    case HtmlTag::kDd:
    case HtmlTag::kDt:
    case HtmlTag::kTable:
    case HtmlTag::kUl:
    case HtmlTag::kOl:
    case HtmlTag::kDl:
    case HtmlTag::kHr:
    case HtmlTag::kAddress:
    case HtmlTag::kCaption:
    case HtmlTag::kHgroup:
    case HtmlTag::kForm:
    case HtmlTag::kBody:
    case HtmlTag::kHtml:
    case HtmlTag::kDetails:
    case HtmlTag::kSummary:
      return true;
    default:
      return false;
  }
}

// What a block's own tag says of it, before its paragraphs are counted.
double TagScore(HtmlTag tag) {
  switch (tag) {
    case HtmlTag::kDiv:
    case HtmlTag::kArticle:
    case HtmlTag::kMain:
    case HtmlTag::kSection:
      return 5;
    case HtmlTag::kPre:
    case HtmlTag::kTd:
    case HtmlTag::kBlockquote:
      return 3;
    case HtmlTag::kAddress:
    case HtmlTag::kOl:
    case HtmlTag::kUl:
    case HtmlTag::kDl:
    case HtmlTag::kDd:
    case HtmlTag::kDt:
    case HtmlTag::kLi:
    case HtmlTag::kForm:
      return -3;
    case HtmlTag::kH1:
    case HtmlTag::kH2:
    case HtmlTag::kH3:
    case HtmlTag::kH4:
    case HtmlTag::kH5:
    case HtmlTag::kH6:
    case HtmlTag::kTh:
      return -5;
    default:
      return 0;
  }
}

// Letters of a text: bytes that are neither blanks nor UTF-8 continuation bytes.
std::int32_t LettersOf(std::string_view text) {
  std::int32_t letters = 0;
  for (unsigned char c : text) letters += !IsBlank(c) && (c & 0xC0) != 0x80;
  return letters;
}

std::int32_t CommasOf(std::string_view text) {
  return static_cast<std::int32_t>(std::count(text.begin(), text.end(), ','));
}

template <std::size_t N>
bool HasPart(std::string_view lowered, const std::array<std::string_view, N>& parts) {
  for (std::string_view part : parts)
    if (lowered.find(part) != std::string_view::npos) return true;
  return false;
}

template <std::size_t N>
bool HasName(std::string_view names, const std::array<std::string_view, N>& list) {
  std::size_t p = 0;
  while (p < names.size()) {
    while (p < names.size() && IsBlank(static_cast<unsigned char>(names[p]))) ++p;
    std::size_t end = p;
    while (end < names.size() && !IsBlank(static_cast<unsigned char>(names[end]))) ++end;
    const std::string_view name = names.substr(p, end - p);
    if (!name.empty() && std::find(list.begin(), list.end(), name) != list.end()) return true;
    p = end;
  }
  return false;
}

// What the page's tree says of each node, in arrays beside it.
struct Judgement {
  std::vector<char> dropped;          // never article text: furniture, hidden, or under either
  std::vector<char> hidden;           // hidden from sight, or under such an element
  std::vector<double> classWeight;    // +kClassWeight article-like, -kClassWeight furniture-like
  std::vector<std::int32_t> letters;  // of text not dropped
  std::vector<std::int32_t> linkLetters;  // of that, inside links
  std::vector<std::int32_t> commas;
  std::vector<std::int32_t> paragraphLetters;  // inside p elements, dropped or not
  std::vector<std::int16_t> paragraphs;        // p elements not dropped
  std::vector<std::int16_t> listItems;
  std::vector<std::int16_t> images;
  std::vector<std::int16_t> inputs;
  std::vector<std::int16_t> breaks;  // <br> elements not dropped
  std::vector<std::int16_t> links;   // <a> elements not dropped
  std::vector<char> hasBlockChild;
  // Letters and commas of its own text: outside the blocks inside it.
  std::vector<std::int32_t> ownLetters;
  std::vector<std::int32_t> ownCommas;
};

bool IsHidden(const HtmlTree& tree, std::uint32_t i) {
  if (tree.HasAttribute(i, "hidden")) return true;
  const std::string classes = Lower(tree.Attribute(i, "class"));
  if (HasPart(classes, kHiddenParts) || HasName(classes, std::array<std::string_view, 1>{"hidden"}))
    return true;
  if (Lower(tree.Attribute(i, "aria-hidden")) == "true") return true;
  const std::string style = Lower(tree.Attribute(i, "style"));
  if (style.empty()) return false;
  std::string compact;
  for (char c : style)
    if (!IsBlank(static_cast<unsigned char>(c))) compact += c;
  return compact.find("display:none") != std::string::npos ||
         compact.find("visibility:hidden") != std::string::npos;
}

// -1 furniture, +1 article, 0 neither, from the class, id and role; and whether the verdict
// is furniture strongly enough to drop the block.
struct ClassVerdict {
  double weight = 0;
  bool furniture = false;
};

ClassVerdict JudgeClass(const HtmlTree& tree, std::uint32_t i) {
  ClassVerdict verdict;
  const std::string role = Lower(tree.Attribute(i, "role"));
  if (!role.empty() &&
      std::find(kFurnitureRoles.begin(), kFurnitureRoles.end(), role) != kFurnitureRoles.end())
    verdict.furniture = true;
  const std::string classes = Lower(tree.Attribute(i, "class"));
  const std::string id = Lower(tree.Attribute(i, "id"));
  for (const std::string* names : {&classes, &id}) {
    if (names->empty()) continue;
    const bool furniture = HasPart(*names, kFurnitureParts) || HasName(*names, kFurnitureNames);
    const bool article = HasPart(*names, kArticleParts);
    if (furniture) verdict.weight -= kClassWeight;
    if (article) verdict.weight += kClassWeight;
    if ((furniture && !article) || HasPart(*names, kStrongFurnitureParts)) verdict.furniture = true;
  }
  const std::string itemprop = Lower(tree.Attribute(i, "itemprop"));
  if (itemprop == "articlebody") verdict.weight += 2 * kClassWeight, verdict.furniture = false;
  return verdict;
}

Judgement Judge(const HtmlTree& tree) {
  const std::uint32_t n = tree.size();
  Judgement j;
  j.dropped.assign(n, 0);
  j.hidden.assign(n, 0);
  j.classWeight.assign(n, 0);
  j.letters.assign(n, 0);
  j.linkLetters.assign(n, 0);
  j.commas.assign(n, 0);
  j.paragraphLetters.assign(n, 0);
  j.paragraphs.assign(n, 0);
  j.listItems.assign(n, 0);
  j.images.assign(n, 0);
  j.inputs.assign(n, 0);
  j.breaks.assign(n, 0);
  j.links.assign(n, 0);
  j.hasBlockChild.assign(n, 0);
  j.ownLetters.assign(n, 0);
  j.ownCommas.assign(n, 0);

  // Paragraph text by node before anything is dropped, for the guard.
  std::vector<char> furnitureCandidate(n, 0);
  for (std::uint32_t i = 0; i < n; ++i) {
    const HtmlNode& node = tree[i];
    if (node.tag == HtmlTag::kText) continue;
    const ClassVerdict verdict = JudgeClass(tree, i);
    j.classWeight[i] = verdict.weight;
    furnitureCandidate[i] = verdict.furniture;
  }
  std::vector<std::int32_t> rawParagraphLetters(n, 0);
  for (std::uint32_t i = n; i-- > 1;) {
    const HtmlNode& node = tree[i];
    if (node.tag == HtmlTag::kText && tree[node.parent].tag == HtmlTag::kP)
      rawParagraphLetters[i] = LettersOf(node.text);
    rawParagraphLetters[node.parent] += rawParagraphLetters[i];
  }
  const std::int32_t pageParagraphLetters = n > 0 ? rawParagraphLetters[0] : 0;
  const auto isGuarded = [&](std::uint32_t i) {
    return pageParagraphLetters > 0 && rawParagraphLetters[i] >= kGuardShare * pageParagraphLetters;
  };

  // A block named as furniture that holds half the article ("ArticlePage-content paywall")
  // names its other pieces too: those with the same class and paragraphs of their own are
  // the article's, however little of it they hold.
  std::vector<std::string_view> guardedClasses;
  for (std::uint32_t i = 0; i < n; ++i)
    if (furnitureCandidate[i] && isGuarded(i) && !tree.Attribute(i, "class").empty())
      guardedClasses.push_back(tree.Attribute(i, "class"));
  if (!guardedClasses.empty()) {
    for (std::uint32_t i = 0; i < n; ++i) {
      if (!furnitureCandidate[i] || rawParagraphLetters[i] == 0) continue;
      if (std::find(guardedClasses.begin(), guardedClasses.end(), tree.Attribute(i, "class")) ==
          guardedClasses.end())
        continue;
      furnitureCandidate[i] = 0;
      j.classWeight[i] = std::max(0.0, j.classWeight[i]);
    }
  }

  for (std::uint32_t i = 0; i < n; ++i) {
    const HtmlNode& node = tree[i];
    const bool hidden = node.tag != HtmlTag::kText && IsHidden(tree, i);
    j.hidden[i] = hidden || (i > 0 && j.hidden[node.parent]);
    if (i > 0 && j.dropped[node.parent]) {
      j.dropped[i] = 1;
      continue;
    }
    if (node.tag == HtmlTag::kText) continue;
    const bool guarded = isGuarded(i);
    if (IsDroppedTag(node.tag) || hidden) {
      j.dropped[i] = !(guarded && node.tag != HtmlTag::kHead && node.tag != HtmlTag::kScript);
    } else if (furnitureCandidate[i] && !guarded && node.tag != HtmlTag::kBody &&
               node.tag != HtmlTag::kHtml) {
      j.dropped[i] = 1;
    }
  }

  for (std::uint32_t i = n; i-- > 0;) {
    const HtmlNode& node = tree[i];
    if (node.tag == HtmlTag::kImg) ++j.images[i];
    if (node.tag == HtmlTag::kInput || node.tag == HtmlTag::kSelect ||
        node.tag == HtmlTag::kTextarea || node.tag == HtmlTag::kButton)
      ++j.inputs[i];
    if (!j.dropped[i]) {
      if (node.tag == HtmlTag::kText) {
        j.letters[i] = LettersOf(node.text);
        j.commas[i] = CommasOf(node.text);
      } else if (node.tag == HtmlTag::kA) {
        j.linkLetters[i] = j.letters[i];
        ++j.links[i];
      } else if (node.tag == HtmlTag::kP) {
        ++j.paragraphs[i];
        j.paragraphLetters[i] = j.letters[i];
      } else if (node.tag == HtmlTag::kLi) {
        ++j.listItems[i];
      } else if (node.tag == HtmlTag::kBr) {
        ++j.breaks[i];
      }
    }
    if (i == 0) break;
    const std::uint32_t p = node.parent;
    j.letters[p] += j.letters[i];
    j.linkLetters[p] += j.linkLetters[i];
    j.commas[p] += j.commas[i];
    j.paragraphLetters[p] += j.paragraphLetters[i];
    j.paragraphs[p] = static_cast<std::int16_t>(std::min(30000, j.paragraphs[p] + j.paragraphs[i]));
    j.listItems[p] = static_cast<std::int16_t>(std::min(30000, j.listItems[p] + j.listItems[i]));
    j.images[p] = static_cast<std::int16_t>(std::min(30000, j.images[p] + j.images[i]));
    j.inputs[p] = static_cast<std::int16_t>(std::min(30000, j.inputs[p] + j.inputs[i]));
    j.breaks[p] = static_cast<std::int16_t>(std::min(30000, j.breaks[p] + j.breaks[i]));
    j.links[p] = static_cast<std::int16_t>(std::min(30000, j.links[p] + j.links[i]));
    if (node.tag != HtmlTag::kText && (IsBlockTag(node.tag) || node.tag == HtmlTag::kImg))
      j.hasBlockChild[p] = 1;
    if (node.tag == HtmlTag::kText) {
      j.ownLetters[p] += j.letters[i];
      j.ownCommas[p] += j.commas[i];
    } else if (!IsBlockTag(node.tag) && !j.dropped[i]) {
      j.ownLetters[p] += j.ownLetters[i];
      j.ownCommas[p] += j.ownCommas[i];
    }
  }
  return j;
}

double LinkDensity(const Judgement& j, std::uint32_t i) {
  return j.letters[i] == 0 ? 0.0 : static_cast<double>(j.linkLetters[i]) / j.letters[i];
}

// Whether node i is a block whose own text the scoring counts: a paragraph, a cell, a
// pre-formatted block, or a div or section with no block inside (text written straight in).
bool IsScoredBlock(const HtmlTree& tree, const Judgement& j, std::uint32_t i) {
  const HtmlTag tag = tree[i].tag;
  if (tag == HtmlTag::kP || tag == HtmlTag::kPre || tag == HtmlTag::kTd) return true;
  return (tag == HtmlTag::kDiv || tag == HtmlTag::kSection) &&
         (!j.hasBlockChild[i] || j.ownLetters[i] >= kMinOwnTextLetters);
}

// The node whose subtree is the article, or npos when the page holds none.
constexpr std::uint32_t kNone = 0xFFFFFFFF;

struct Candidates {
  std::vector<double> score;
  std::vector<char> scored;
};

Candidates ScoreBlocks(const HtmlTree& tree, const Judgement& j) {
  const std::uint32_t n = tree.size();
  Candidates c;
  c.score.assign(n, 0);
  c.scored.assign(n, 0);
  for (std::uint32_t i = 0; i < n; ++i) {
    if (tree[i].tag == HtmlTag::kText || j.dropped[i]) continue;
    if (!IsScoredBlock(tree, j, i) || j.letters[i] < kMinScoredLetters) continue;
    // Bare text parted by line breaks counts as the paragraphs it reads as.
    const int paragraphs = tree[i].tag == HtmlTag::kP ? 1 : 1 + j.breaks[i] / kBreaksPerParagraph;
    // A div with blocks inside counts its own text alone: the blocks are scored themselves.
    const bool mixed = tree[i].tag != HtmlTag::kP && j.hasBlockChild[i];
    const std::int32_t letters = mixed ? j.ownLetters[i] : j.letters[i];
    const std::int32_t commas = mixed ? j.ownCommas[i] : j.commas[i];
    const double blockScore = paragraphs + commas + std::min(3 * paragraphs, letters / 100);
    // Bare text of several paragraphs is their container itself, as a div of p elements is.
    std::uint32_t ancestor = paragraphs > 1 ? i : tree[i].parent;
    for (int level = 0; level < kScoreLevels && ancestor != 0; ++level) {
      if (!c.scored[ancestor]) {
        c.scored[ancestor] = 1;
        c.score[ancestor] = TagScore(tree[ancestor].tag) + j.classWeight[ancestor];
      }
      const double divider = level == 0 ? 1 : level == 1 ? 2 : level * 3;
      c.score[ancestor] += blockScore / divider;
      ancestor = tree[ancestor].parent;
    }
  }
  for (std::uint32_t i = 0; i < n; ++i)
    if (c.scored[i]) c.score[i] *= 1 - LinkDensity(j, i);
  return c;
}

bool IsAncestor(const HtmlTree& tree, std::uint32_t ancestor, std::uint32_t node) {
  return node >= ancestor && node < tree[ancestor].end;
}

// The nearest <article> element holding node i (i itself included), or 0 for none.
std::uint32_t EnclosingArticle(const HtmlTree& tree, std::uint32_t i) {
  for (; i != 0; i = tree[i].parent)
    if (tree[i].tag == HtmlTag::kArticle) return i;
  return 0;
}

std::uint32_t ChooseRoot(const HtmlTree& tree, const Judgement& j, const Candidates& c) {
  const std::uint32_t n = tree.size();
  std::vector<std::uint32_t> top;
  for (std::uint32_t i = 0; i < n; ++i)
    if (c.scored[i]) top.push_back(i);
  if (top.empty()) return kNone;
  std::sort(top.begin(), top.end(),
            [&](std::uint32_t a, std::uint32_t b) { return c.score[a] > c.score[b]; });
  std::uint32_t root = top[0];
  // Several strong blocks under one ancestor: the article is split across them.
  constexpr std::size_t kAlternatives = 5;
  constexpr std::size_t kMinSharing = 3;
  // A strong block of another <article> element is another story (a teaser), not a piece.
  const std::uint32_t story = EnclosingArticle(tree, root);
  std::vector<std::uint32_t> alternatives;
  for (std::size_t k = 1; k < std::min(top.size(), kAlternatives); ++k)
    if (c.score[top[k]] >= 0.75 * c.score[root] && EnclosingArticle(tree, top[k]) == story)
      alternatives.push_back(top[k]);
  if (alternatives.size() >= kMinSharing) {
    for (std::uint32_t a = tree[root].parent; a != 0; a = tree[a].parent) {
      std::size_t sharing = 0;
      for (std::uint32_t alt : alternatives) sharing += IsAncestor(tree, a, alt);
      if (sharing >= kMinSharing) {
        root = a;
        break;
      }
    }
  }
  // A root that is its parent's only element child stands for the parent.
  while (root != 0 && tree[root].parent != 0) {
    const std::uint32_t parent = tree[root].parent;
    int elements = 0;
    for (std::uint32_t k = parent + 1; k < tree[parent].end; k = tree[k].end)
      if (tree[k].tag != HtmlTag::kText && !j.dropped[k]) ++elements;
    if (elements != 1 || tree[parent].tag == HtmlTag::kBody) break;
    root = parent;
  }
  return root;
}

// The root and the siblings that belong with it, in document order.
std::vector<std::uint32_t> RootAndSiblings(const HtmlTree& tree, const Judgement& j,
                                           const Candidates& c, std::uint32_t root) {
  if (root == 0) return {root};
  const std::uint32_t parent = tree[root].parent;
  const double threshold = std::max(10.0, c.score[root] * 0.2);
  const std::string rootClass(tree.Attribute(root, "class"));
  const bool bareRoot = tree[root].tag != HtmlTag::kP && IsScoredBlock(tree, j, root);
  std::vector<std::uint32_t> kept;
  for (std::uint32_t k = parent + 1; k < tree[parent].end; k = tree[k].end) {
    if (k == root) {
      kept.push_back(k);
      continue;
    }
    if (tree[k].tag == HtmlTag::kText || j.dropped[k]) continue;
    double bonus = 0;
    if (!rootClass.empty() && tree.Attribute(k, "class") == rootClass) bonus = c.score[root] * 0.2;
    // An article of bare text is joined by bare text and paragraphs alone: a box of paragraphs
    // beside it (the footer's address) is another kind of container.
    bool append = !bareRoot && c.scored[k] && c.score[k] + bonus >= threshold;
    // A paragraph, or a div of bare text (a paragraph by another name), joins on its own text.
    if (!append && (tree[k].tag == HtmlTag::kP || IsScoredBlock(tree, j, k))) {
      const double density = LinkDensity(j, k);
      append = (j.letters[k] > 80 && density < 0.25) ||
               (j.letters[k] > 0 && j.letters[k] <= 80 && density == 0);
    }
    if (append) kept.push_back(k);
  }
  return kept;
}

int WordsOf(std::string_view text);
std::string TextOf(const HtmlTree& tree, std::uint32_t i);

// Whether a text reads as a sentence of prose: words enough, and a stop at its end.
bool ReadsAsSentence(std::string_view text) {
  while (!text.empty() && IsBlank(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
  if (text.empty() || WordsOf(text) < kMinLinkedSentenceWords) return false;
  const char last = text.back();
  return last == '.' || last == '!' || last == '?' || last == '"' || text.ends_with("\xE2\x80\x9D");
}

// The first of the space-separated names of a class attribute.
std::string_view FirstName(std::string_view names) {
  std::size_t begin = 0;
  while (begin < names.size() && IsBlank(static_cast<unsigned char>(names[begin]))) ++begin;
  std::size_t end = begin;
  while (end < names.size() && !IsBlank(static_cast<unsigned char>(names[end]))) ++end;
  return names.substr(begin, end - begin);
}

// The other pieces of an article split into blocks of one kind (by an advertisement, a figure,
// a newsletter box): the blocks of the same tag and class as the root (or as its parent, when
// the root has no class) under its ancestors up to kPieceLevels above it, outside `kept`'s
// parent, that hold paragraph text with few links. In document order.
std::vector<std::uint32_t> OtherPieces(const HtmlTree& tree, const Judgement& j,
                                       std::uint32_t root) {
  if (root == 0) return {};
  std::uint32_t kind = root;
  if (tree.Attribute(root, "class").empty()) kind = tree[root].parent;
  const std::string_view kindClass = tree.Attribute(kind, "class");
  if (kind == 0 || kindClass.empty()) return {};
  std::uint32_t scope = tree[root].parent;
  for (int level = 1; level < kPieceLevels && scope != 0 && tree[scope].tag != HtmlTag::kBody;
       ++level)
    scope = tree[scope].parent;
  const std::uint32_t home = tree[root].parent;  // its children are judged as siblings
  std::vector<std::uint32_t> pieces;
  for (std::uint32_t k = scope + 1; k < tree[scope].end;) {
    if (k == home || j.dropped[k] || tree[k].tag == HtmlTag::kText) {
      k = k == home || j.dropped[k] ? tree[k].end : k + 1;
      continue;
    }
    if (tree[k].tag == tree[kind].tag && j.paragraphs[k] > 0 &&
        j.paragraphLetters[k] >= kMinScoredLetters && LinkDensity(j, k) <= kMaxPieceLinkDensity &&
        FirstName(tree.Attribute(k, "class")) == FirstName(kindClass) &&
        !IsAncestor(tree, k, root)) {
      pieces.push_back(k);
      k = tree[k].end;
      continue;
    }
    ++k;
  }
  return pieces;
}

// Whether a block inside the article is furniture after all: a list of links, a box of
// teasers, a form (what a reader of the article would skip).
bool IsFurnitureBlock(const HtmlTree& tree, const Judgement& j, std::uint32_t i,
                      std::int32_t rootLetters) {
  const HtmlTag tag = tree[i].tag;
  const bool container = tag == HtmlTag::kDiv || tag == HtmlTag::kSection || tag == HtmlTag::kUl ||
                         tag == HtmlTag::kOl || tag == HtmlTag::kTable || tag == HtmlTag::kDl ||
                         tag == HtmlTag::kForm || tag == HtmlTag::kOther;
  const double density = LinkDensity(j, i);
  if (tag == HtmlTag::kP || tag == HtmlTag::kLi)
    return density > 0.6 && j.letters[i] < 200 &&
           !(tag == HtmlTag::kP && ReadsAsSentence(TextOf(tree, i)));
  if (!container) return false;
  if (j.letters[i] * 2 >= rootLetters) return false;
  const double weight = j.classWeight[i];
  if (weight < 0) return true;
  if (j.commas[i] >= 10) return false;
  const bool list = tag == HtmlTag::kUl || tag == HtmlTag::kOl;
  if (!list && j.listItems[i] > j.paragraphs[i] && density > 0.3) return true;
  if (j.inputs[i] > j.paragraphs[i] / 3 + 1) return true;
  if (weight < kClassWeight && density > 0.33) return true;
  if (weight >= kClassWeight && density > 0.5) return true;
  return false;
}

class ParagraphWriter {
 public:
  explicit ParagraphWriter(std::vector<std::string>& out) : out_(out) {}
  void Append(std::string_view text) { current_ += text; }
  void Break() {
    std::string paragraph = CollapseWhiteSpace(current_);
    current_.clear();
    if (paragraph.empty() || IsBoilerplate(paragraph)) return;
    out_.push_back(std::move(paragraph));
  }

 private:
  static bool IsDateLine(const std::string& paragraph) {
    const char last = paragraph.back();
    // A post's attribution ("— Name (@name) November 18, 2019") is the article's.
    if (last == '.' || last == '!' || last == '?' || WordsOf(paragraph) > kMaxDateLineWords ||
        paragraph.find_first_of("@(") != std::string::npos)
      return false;
    bool year = false, month = false;
    std::size_t at = 0;
    while (at < paragraph.size()) {
      std::size_t end = at;
      while (end < paragraph.size() && std::isalnum(static_cast<unsigned char>(paragraph[end])))
        ++end;
      const std::string_view word = std::string_view(paragraph).substr(at, end - at);
      if (word.size() == 4 && (word.starts_with("19") || word.starts_with("20")) &&
          std::all_of(word.begin(), word.end(), [](char c) { return c >= '0' && c <= '9'; }))
        year = true;
      if (word.size() >= 3 && std::isalpha(static_cast<unsigned char>(word[0])) &&
          std::find(kMonths.begin(), kMonths.end(), Lower(word.substr(0, 3))) != kMonths.end() &&
          (word.size() == 3 || std::string_view("january february march april may june july "
                                                "august september october november december")
                                       .find(Lower(word)) != std::string_view::npos))
        month = true;
      at = end == at ? at + 1 : end;
    }
    return year && month;
  }

  static bool IsBoilerplate(const std::string& paragraph) {
    if (paragraph.size() <= kMaxBylineBytes) {
      // A sentence ends with its stop ("By the end of the year, prices rose."); a byline does
      // not. A date line holds its date's digits ("Updated figures show a rise." has none).
      const char last = paragraph.back();
      if (paragraph.starts_with("By ") && last != '.' && last != '!' && last != '?' && last != '"')
        return true;
      const bool digits = paragraph.find_first_of("0123456789") != std::string::npos;
      const std::string lowered = Lower(paragraph);
      for (std::string_view start : kDateLineStarts)
        if (digits && lowered.starts_with(Lower(start))) return true;
      if (IsDateLine(paragraph)) return true;
    }
    if (paragraph.size() > 40) return false;
    std::string lower = Lower(paragraph);
    while (!lower.empty() && (lower.back() == ':' || lower.back() == '.')) lower.pop_back();
    return std::find(kBoilerplateParagraphs.begin(), kBoilerplateParagraphs.end(), lower) !=
           kBoilerplateParagraphs.end();
  }
  std::vector<std::string>& out_;
  std::string current_;
};

bool IsLinksOnlyInline(const HtmlTree& tree, const Judgement& j, std::uint32_t i) {
  return (tree[i].tag == HtmlTag::kSpan || tree[i].tag == HtmlTag::kOther) &&
         j.links[i] >= kMinPopupLinks && LinkDensity(j, i) >= kMinPopupLinkDensity;
}

// Whether node i is a pop-up card inside a sentence: an inline element of links alone, the
// innermost such (its wrapper also holds the name the sentence reads, "Gov. Kristi Noem").
bool IsPopup(const HtmlTree& tree, const Judgement& j, std::uint32_t i) {
  if (!IsLinksOnlyInline(tree, j, i)) return false;
  for (std::uint32_t k = i + 1; k < tree[i].end; k = tree[k].end)
    if (IsLinksOnlyInline(tree, j, k)) return false;
  return true;
}

void CollectParagraphs(const HtmlTree& tree, const Judgement& j, std::uint32_t root,
                       std::int32_t rootLetters, ParagraphWriter& writer) {
  std::vector<std::uint32_t> openBlocks;
  for (std::uint32_t i = root; i < tree[root].end;) {
    while (!openBlocks.empty() && tree[openBlocks.back()].end <= i) {
      writer.Break();
      openBlocks.pop_back();
    }
    const HtmlNode& node = tree[i];
    if (node.tag == HtmlTag::kText) {
      if (!j.dropped[i]) writer.Append(node.text);
      ++i;
      continue;
    }
    if (j.dropped[i] || node.tag == HtmlTag::kH1 || IsPopup(tree, j, i) ||
        (i != root && IsFurnitureBlock(tree, j, i, rootLetters))) {
      i = node.end;
      continue;
    }
    if (node.tag == HtmlTag::kBr) {
      writer.Break();
    } else if (IsBlockTag(node.tag)) {
      writer.Break();
      openBlocks.push_back(i);
    } else if (node.tag != HtmlTag::kA && node.tag != HtmlTag::kSpan) {
      // Inline mark-up joins its text to the words around it; a space keeps words apart
      // where an unknown element stood between them.
      if (node.tag == HtmlTag::kOther) writer.Append(" ");
    }
    ++i;
  }
  writer.Break();
}

std::string TextOf(const HtmlTree& tree, std::uint32_t i) {
  std::string text;
  for (std::uint32_t k = i; k < tree[i].end; ++k)
    if (tree[k].tag == HtmlTag::kText) text += tree[k].text;
  return CollapseWhiteSpace(text);
}

// The text a reader sees of node i: a hidden element's text ("opens in a new window" for a
// screen reader) is left out.
std::string VisibleTextOf(const HtmlTree& tree, const Judgement& j, std::uint32_t i) {
  std::string text;
  for (std::uint32_t k = i; k < tree[i].end; ++k)
    if (tree[k].tag == HtmlTag::kText && !j.hidden[k]) text += tree[k].text;
  return CollapseWhiteSpace(text);
}

// A link's text, as a headline is read: the start of its subtree only, so that links nested in
// links (each one's subtree the rest of the page) cost the page once, not once per link; with
// the page's judgement, a hidden element's text ("opens in a new window" for a screen reader)
// is left out.
constexpr std::size_t kMaxLinkTextBytes = 300;
constexpr std::uint32_t kMaxLinkTextNodes = 1000;

std::string LinkTextOf(const HtmlTree& tree, std::uint32_t i, const Judgement* j = nullptr) {
  std::string text;
  const std::uint32_t end =
      tree[i].end - i > kMaxLinkTextNodes ? i + kMaxLinkTextNodes : tree[i].end;
  for (std::uint32_t k = i; k < end && text.size() < 4 * kMaxLinkTextBytes; ++k)
    if (tree[k].tag == HtmlTag::kText && !(j && j->hidden[k]))
      text += tree[k].text.substr(0, 4 * kMaxLinkTextBytes);
  text = CollapseWhiteSpace(text);
  if (text.size() > kMaxLinkTextBytes) {
    std::size_t cut = kMaxLinkTextBytes;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    text.resize(cut);  // at a character's start, so the text stays UTF-8
  }
  return text;
}

// The first string value of `key` in the page's structured data (json_ld.h), document by
// document; empty when none.
std::string JsonStringAfter(std::string_view documents, std::string_view key) {
  for (std::size_t start = 0; start < documents.size();) {
    const std::size_t end = std::min(documents.find('\0', start), documents.size());
    if (std::string value = JsonLdString(documents.substr(start, end - start), key); !value.empty())
      return value;
    start = end + 1;
  }
  return {};
}

// The page's structured data (JSON-LD scripts), each document ended by a NUL (which the
// parser never leaves in a text).
std::string StructuredData(const HtmlTree& tree) {
  std::string json;
  for (std::uint32_t i = 0; i < tree.size(); ++i) {
    if (tree[i].tag != HtmlTag::kScript) continue;
    if (Lower(tree.Attribute(i, "type")) != "application/ld+json") continue;
    if (!json.empty()) json += '\0';
    for (std::uint32_t k = i + 1; k < tree[i].end; ++k)
      if (tree[k].tag == HtmlTag::kText) json += tree[k].text;
  }
  return json;
}

std::string MetaContent(const HtmlTree& tree, std::string_view attribute, std::string_view value) {
  for (std::uint32_t i = 0; i < tree.size(); ++i) {
    if (tree[i].tag != HtmlTag::kMeta) continue;
    if (Lower(tree.Attribute(i, std::string(attribute).c_str())) == value)
      return CollapseWhiteSpace(tree.Attribute(i, "content"));
  }
  return {};
}

std::string TitleOf(const HtmlTree& tree, const Judgement& j) {
  if (std::string og = MetaContent(tree, "property", "og:title"); !og.empty()) return og;
  for (HtmlTag tag : {HtmlTag::kH1, HtmlTag::kTitle}) {
    for (std::uint32_t i = 0; i < tree.size(); ++i)
      if (tree[i].tag == tag) {
        // The head's <title> is dropped as a whole: only the h1's hidden parts are left out.
        std::string text = tag == HtmlTag::kH1 ? VisibleTextOf(tree, j, i) : TextOf(tree, i);
        if (!text.empty()) return text;
      }
  }
  return {};
}

std::string DateOf(const HtmlTree& tree, std::string_view structured) {
  for (const auto& [attribute, value] :
       {std::pair<std::string_view, std::string_view>{"property", "article:published_time"},
        {"name", "pubdate"},
        {"name", "publishdate"},
        {"name", "date"},
        {"name", "dc.date"},
        {"itemprop", "datepublished"}}) {
    if (std::string date = MetaContent(tree, attribute, value); !date.empty()) return date;
  }
  if (std::string date = JsonStringAfter(structured, "datePublished"); !date.empty()) return date;
  for (std::uint32_t i = 0; i < tree.size(); ++i)
    if (tree[i].tag == HtmlTag::kTime && tree.HasAttribute(i, "datetime"))
      return std::string(tree.Attribute(i, "datetime"));
  return {};
}

std::int32_t LettersOfParagraphs(const std::vector<std::string>& paragraphs) {
  std::int32_t letters = 0;
  for (const std::string& p : paragraphs) letters += LettersOf(p);
  return letters;
}

int WordsOf(std::string_view text) {
  int words = 0;
  bool inWord = false;
  for (unsigned char c : text) {
    const bool blank = IsBlank(c);
    if (!blank && !inWord) ++words;
    inWord = !blank;
  }
  return words;
}

// A front page's headlines: the texts of its links that read as a headline, each once.
std::vector<std::string> Headlines(const HtmlTree& tree, const Judgement& j) {
  std::vector<std::string> headlines;
  for (std::uint32_t i = 0; i < tree.size(); ++i) {
    if (tree[i].tag != HtmlTag::kA || j.dropped[i]) continue;
    std::string text = LinkTextOf(tree, i, &j);
    if (WordsOf(text) < kMinHeadlineWords) continue;
    if (std::find(headlines.begin(), headlines.end(), text) == headlines.end())
      headlines.push_back(std::move(text));
  }
  return headlines;
}

std::vector<std::string> SplitStructuredBody(const std::string& body) {
  std::vector<std::string> paragraphs;
  std::size_t start = 0;
  while (start <= body.size()) {
    std::size_t end = body.find('\n', start);
    if (end == std::string::npos) end = body.size();
    std::string paragraph = CollapseWhiteSpace(std::string_view(body).substr(start, end - start));
    if (!paragraph.empty()) paragraphs.push_back(std::move(paragraph));
    start = end + 1;
  }
  return paragraphs;
}

bool LooksCutOff(const std::string& body) {
  std::string_view b = body;
  while (!b.empty() && IsBlank(static_cast<unsigned char>(b.back()))) b.remove_suffix(1);
  return b.ends_with("...") || b.ends_with("\xE2\x80\xA6");
}

}  // namespace

ArticleText ExtractArticle(const HtmlTree& tree) {
  ArticleText article;
  if (tree.size() == 0) return article;
  const Judgement j = Judge(tree);
  const std::string structured = StructuredData(tree);
  article.title = TitleOf(tree, j);
  article.date = DateOf(tree, structured);

  const Candidates c = ScoreBlocks(tree, j);
  const std::uint32_t root = ChooseRoot(tree, j, c);
  ParagraphWriter writer(article.paragraphs);
  if (root != kNone) {
    std::vector<std::uint32_t> blocks = RootAndSiblings(tree, j, c, root);
    const std::vector<std::uint32_t> pieces = OtherPieces(tree, j, root);
    blocks.insert(blocks.end(), pieces.begin(), pieces.end());
    std::sort(blocks.begin(), blocks.end());
    for (std::uint32_t block : blocks) CollectParagraphs(tree, j, block, j.letters[block], writer);
  } else {
    // No block long enough to score: the page's little text is all there is.
    CollectParagraphs(tree, j, 0, j.letters[0], writer);
  }
  // Drop a leading paragraph that repeats the headline.
  if (!article.paragraphs.empty() && article.paragraphs.front() == article.title)
    article.paragraphs.erase(article.paragraphs.begin());

  const std::string body = JsonStringAfter(structured, "articleBody");
  const std::int32_t found = LettersOfParagraphs(article.paragraphs);
  if (!body.empty() && !LooksCutOff(body) && LettersOf(body) >= kMinArticleLetters &&
      found < kStructuredBodyShare * LettersOf(body))
    article.paragraphs = SplitStructuredBody(body);

  article.isArticle = LettersOfParagraphs(article.paragraphs) >= kMinArticleLetters;
  // A short page without headlines (a notice, a brief) keeps the little text it has.
  if (!article.isArticle) {
    if (std::vector<std::string> headlines = Headlines(tree, j); !headlines.empty())
      article.paragraphs = std::move(headlines);
  }
  return article;
}

PageLinks ReadPageLinks(const HtmlTree& tree) {
  PageLinks links;
  for (std::uint32_t i = 0; i < tree.size(); ++i) {
    const HtmlTag tag = tree[i].tag;
    PageLink link;
    switch (tag) {
      case HtmlTag::kBase:
        if (links.baseHref.empty()) links.baseHref = tree.Attribute(i, "href");
        continue;
      case HtmlTag::kA:
        if (!tree.HasAttribute(i, "href")) continue;
        link.element = PageLinkElement::kAnchor;
        link.href = tree.Attribute(i, "href");
        link.rel = Lower(tree.Attribute(i, "rel"));
        link.text = LinkTextOf(tree, i);
        break;
      case HtmlTag::kFrame:
      case HtmlTag::kIframe:
        if (!tree.HasAttribute(i, "src")) continue;
        link.element =
            tag == HtmlTag::kFrame ? PageLinkElement::kFrame : PageLinkElement::kInlineFrame;
        link.href = tree.Attribute(i, "src");
        break;
      case HtmlTag::kLink:
        if (!tree.HasAttribute(i, "href")) continue;
        link.element = PageLinkElement::kLink;
        link.href = tree.Attribute(i, "href");
        link.rel = Lower(tree.Attribute(i, "rel"));
        link.type = Lower(tree.Attribute(i, "type"));
        break;
      default:
        continue;
    }
    links.links.push_back(std::move(link));
  }
  return links;
}

bool FitsArticleReading(std::size_t pageBytes, std::size_t tags) {
  const std::size_t estimate = kTreeBytesPerTag * tags + 2 * pageBytes;
  return pageBytes <= kMaxArticlePageBytes &&
         estimate <= std::max(kArticleMemoryShare * pageBytes, kArticleMemoryFloor);
}

namespace {

// Calls `read` with the page's tree (decoded, thinned, parsed) and returns what it gives, or
// nothing for a page past the article reading's bounds.
// The parse's bounds for a page of `pageBytes`: its memory such that the whole reading stays
// within four times the page and 32 MiB (the decoded page and the article's text take some two
// copies of the page beside the parser, and the allocator a quarter of what the parser holds
// on top), its time within kReadingTimeFloor + kReadingTimePerMiB a MiB, and `stop` (a cancel,
// a signal).
ParseBounds ParseBoundsOf(std::size_t pageBytes, const std::function<bool()>& stop) {
  const std::size_t share = (2 * pageBytes + kArticleMemoryFloor) / 4 * 3;
  const auto deadline = std::chrono::steady_clock::now() + kReadingTimeFloor +
                        kReadingTimePerMiB * (static_cast<double>(pageBytes) / (1 << 20));
  return {share, [deadline, stop] {
            return std::chrono::steady_clock::now() > deadline || (stop && stop());
          }};
}

template <typename Read>
auto WithParsedPage(std::string_view body, std::string_view contentType,
                    const std::function<bool()>& stop, Read read)
    -> std::optional<decltype(read(std::declval<const HtmlTree&>()))> {
  if (body.size() > kMaxArticlePageBytes) return std::nullopt;
  std::string utf8 = PageToUtf8(body, contentType);
  ThinPage(utf8);
  if (!FitsArticleReading(body.size(),
                          static_cast<std::size_t>(std::count(utf8.begin(), utf8.end(), '<'))))
    return std::nullopt;
  try {
    const HtmlTree tree(utf8, ParseBoundsOf(body.size(), stop));
    return read(tree);
  } catch (const ParseAbandoned&) {
    return std::nullopt;  // the designed reading takes the page, as one past the estimate
  }
}

}  // namespace

std::optional<PageReading> ReadPage(std::string_view body, std::string_view contentType,
                                    const std::function<bool()>& stop) {
  return WithParsedPage(body, contentType, stop, [](const HtmlTree& tree) {
    return PageReading{ExtractArticle(tree), ReadPageLinks(tree)};
  });
}

std::optional<PageLinks> ReadLinksOfPage(std::string_view body, std::string_view contentType,
                                         const std::function<bool()>& stop) {
  return WithParsedPage(body, contentType, stop,
                        [](const HtmlTree& tree) { return ReadPageLinks(tree); });
}

}  // namespace quillmark
