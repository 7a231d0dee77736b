"""Loads every source and builds the four built-in list files."""

from . import denylist, fold, lineio, mapping, ranks, sources, wordlists
from .lexicon import Lexicon
from .reviewed import ReviewedWords

# The versions the committed files were generated from (see fetch-sources.sh).
PINNED_VERSIONS = (
    "deb festlex-poslex 2.4-1",
    "deb scowl 2020.12.07-2",
    "deb wordnet-base 1:3.0-37",
    "npm character-entities-legacy 3.0.0",
    "npm globals 17.15.0",
    "npm html-element-attributes 3.5.0",
    "npm html-tag-names 2.1.0",
    "npm reserved-words 0.1.2",
    "npm simple-icons 16.37.0",
    "npm stopword 3.1.5",
)

HOST_COUNT = 15


def load_lexicon(paths):
    return Lexicon(
        tiers=sources.read_scowl_tiers(paths.scowl_dir),
        nouns=sources.read_wordnet_lemmas(paths.wordnet("index.noun")),
        verbs=sources.read_wordnet_lemmas(paths.wordnet("index.verb")),
        noun_exceptions=sources.read_wordnet_exceptions(paths.wordnet("noun.exc")),
        verb_exceptions=sources.read_wordnet_exceptions(paths.wordnet("verb.exc")),
        general=sources.read_wordnet_counts(paths.wordnet("cntlist.rev")),
        news=sources.read_poslex(paths.poslex, paths.tag_ngrams),
    )


def load_noise_sources(paths, noise_words_path):
    """The sources' noise words plus the reviewed ones of `noise_words_path`."""
    reviewed = denylist.read_noise_words(noise_words_path)
    return wordlists.NoiseSources(
        stopwords=sources.read_stopwords(paths),
        html_tags=sources.read_html_tag_names(paths),
        html_attributes=sources.read_html_attributes(paths),
        entities=sources.read_character_entities(paths),
        reserved_words=sources.read_reserved_words(paths),
        script_globals=sources.read_globals(paths, wordlists.JS_GLOBAL_ENVIRONMENTS),
        abbreviations=sources.read_scowl_entries(paths.scowl_dir, ("abbreviations",),
                                                 wordlists.ABBREVIATION_TIER),
        brand_names=sources.read_brand_names(paths),
        known_names=sources.read_scowl_entries(
            paths.scowl_dir, ("proper-names", "upper", "abbreviations"), wordlists.NAME_TIER),
        listed_names=reviewed[0],
        chrome_words=reviewed[1],
    )


def version_mismatches(paths):
    """Pinned versions that versions.txt does not confirm."""
    found = set(sources.read_versions(paths))
    return [pinned for pinned in PINNED_VERSIONS if pinned not in found]


def check_hosts(hosts):
    if len(hosts) != HOST_COUNT:
        raise ValueError("%d news sites listed, %d wanted" % (len(hosts), HOST_COUNT))
    for host in hosts:
        if not host.startswith("http://") or " " in host:
            raise ValueError("not an absolute http:// address: %r" % host)
    return hosts


class RankSources:
    """What the frequency ranks and the made-up words need beyond the Lexicon."""

    def __init__(self, comparatives=None, known_spellings=frozenset()):
        self.comparatives = comparatives or {}        # comparative -> adjective
        self.known_spellings = known_spellings        # every spelling any source knows


def load_rank_sources(paths, dictionary_path):
    """Comparatives from WordNet, and every spelling of SCOWL (all sizes and kinds), WordNet
    and the built-in dictionary `dictionary_path` (resources/EJDICT)."""
    adjectives = sources.read_wordnet_lemmas(paths.wordnet("index.adj"))
    adverbs = sources.read_wordnet_lemmas(paths.wordnet("index.adv"))
    nouns = sources.read_wordnet_lemmas(paths.wordnet("index.noun"))
    verbs = sources.read_wordnet_lemmas(paths.wordnet("index.verb"))
    scowl = sources.read_scowl_entries(
        paths.scowl_dir, ("words", "proper-names", "upper", "abbreviations", "contractions"),
        max(sources.SCOWL_SIZES))
    lexicon_stub = type("Tiers", (), {})()
    lexicon_stub.tiers = sources.read_scowl_tiers(paths.scowl_dir)
    comparatives = ranks.comparatives_of(
        lexicon_stub, adjectives, sources.read_wordnet_exceptions(paths.wordnet("adj.exc")),
        nouns | verbs | adjectives | adverbs)
    return RankSources(comparatives, frozenset(scowl | nouns | verbs | adjectives | adverbs |
                                               sources.read_dictionary_spellings(dictionary_path)))


class Lists:
    """The built lists plus what the generator reports about them."""

    def __init__(self, pairs, ng_words, mapped_words, hosts, unused_deny_entries,
                 ranked=(), made_up=()):
        self.pairs = pairs
        self.ng_words = ng_words
        self.mapped_words = mapped_words
        self.hosts = hosts
        self.unused_deny_entries = unused_deny_entries
        self.ranked = list(ranked)
        self.made_up = list(made_up)

    def files(self):
        """File name in resources/ -> exact bytes."""
        return {
            "HOSTS": lineio.lines_terminated(self.hosts),
            "NGWORDS": lineio.lines_terminated([""] + self.ng_words),
            "MAPPEDWORDS": lineio.lines_terminated(self.mapped_words),
            "MAPPING_DIC": lineio.lines_separated(lineio.mapping_lines(self.pairs)),
            "FREQUENCY_RANKS": lineio.lines_terminated(" ".join(line) for line in self.ranked),
            "MADE_UP_WORDS": lineio.lines_terminated(self.made_up),
        }


def unused_deny_entries(lexicon, noise, deny):
    """Deny-list entries that would not change any list: candidates for removal."""
    candidates = mapping.collect_candidates(lexicon)
    every_word = set(lexicon.tiers) | set(lexicon.news)
    for word_set in vars(noise).values():
        every_word |= word_set
    unused = ["PAIR %s %s" % pair for pair in sorted(deny.pairs)
              if pair[1] not in candidates.get(pair[0], {})]
    unused += ["WORD %s" % word for word in sorted(deny.words) if word not in every_word]
    return unused


def check_mapped_words_stable(mapped, pairs):
    """The program enters the mapped words into every run's tally: alone they must
    fold onto nothing, or an empty run would learn a base form."""
    _, learned = fold.fold({word: 0 for word in mapped}, dict(pairs))
    if learned:
        raise ValueError("mapped words fold onto each other: %s" % sorted(learned.items()))


def check_kept_forms(pairs, kept_forms):
    """Each kept form must survive the program's fold even beside every base the suffix
    rules and fallbacks could make of it (a self-mapped line, or no rule that applies)."""
    dictionary = dict(pairs)
    moved = []
    for form in sorted(kept_forms):
        raw = {form: 1}
        for base in (dictionary.get(form), fold.rule_base(form), fold.fallback_base(form)):
            if base is not None and base != form:
                raw[base] = 1
        if fold.fold(raw, dictionary)[0].get(form) != 1:
            moved.append(form)
    if moved:
        raise ValueError("kept forms the fold moves: %s" % ", ".join(moved))


# A form the news lexicon tags at least this share of the time, and this often, as an
# adjective, preposition, adverb or noun of its own is a candidate for kept_forms.txt.
OWN_WORD_SHARE = 0.3
OWN_WORD_EVIDENCE = 20
OWN_READING_TAGS = frozenset({"jj", "in", "rb", "nn", "nnp"})


def kept_form_candidates(lexicon, pairs):
    """(form, base) pairs of the dictionary worth reviewing for kept_forms.txt."""
    candidates = []
    for form, base in pairs:
        tags = lexicon.news.get(form, {})
        total = sum(tags.values())
        own = sum(count for tag, count in tags.items() if tag in OWN_READING_TAGS)
        if form != base and total >= OWN_WORD_EVIDENCE and own >= OWN_WORD_SHARE * total:
            candidates.append((form, base))
    return candidates


def build_lists(lexicon, noise, deny, hosts, reviewed=None, rank_sources=None):
    reviewed = reviewed or ReviewedWords()
    rank_sources = rank_sources or RankSources()
    # Chrome words stay themselves, so that hiding them works (RESERVED, not RESERVE); so do
    # the kept forms, whose everyday reading is no inflection (ACCORDING, AIDS).
    pairs = mapping.build_mapping(lexicon,
                                  deny.with_fixed(noise.chrome_words | reviewed.kept_forms),
                                  noise.known_names | noise.abbreviations,
                                  kept_forms=reviewed.kept_forms)
    check_kept_forms(pairs, reviewed.kept_forms)
    core = wordlists.ng_core(lexicon, noise, deny)
    ng = wordlists.build_ng_words(lexicon, pairs, core, deny,
                                  spared=reviewed.news_vocabulary)
    ng = sorted(set(ng) | wordlists.learner_words(lexicon, reviewed, noise.known_names, deny))
    wordlists.check_news_vocabulary_shown(ng, reviewed.news_vocabulary)
    mapped = wordlists.build_mapped_words(lexicon, pairs, set(ng), deny)
    check_mapped_words_stable(mapped, pairs)
    ranked = ranks.frequency_ranks(lexicon, pairs, deny, rank_sources.comparatives)
    real = set(rank_sources.known_spellings) | set(lexicon.tiers) | set(lexicon.news)
    real |= lexicon.nouns | lexicon.verbs | set(ng) | set(mapped)
    real |= {word for pair in pairs for word in pair} | {w for line in ranked for w in line}
    for word_set in vars(noise).values():
        real |= word_set
    made_up = ranks.made_up_words(lexicon, real)
    return Lists(pairs, ng, mapped, check_hosts(hosts), unused_deny_entries(lexicon, noise, deny),
                 ranked, made_up)
