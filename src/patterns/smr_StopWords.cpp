#include <string>
#include <string_view>
#include <unordered_set>

#include "patterns/smr_Patterns.h"
#include "search/smr_SearchText.h"
#include "storage/smr_Cp1251.h"

namespace {

// Words every diary is full of and no dream is told by: pronouns,
// prepositions, conjunctions, particles, the auxiliary verbs and the
// commonest adverbs, in the forms a text has them; blank-separated.
constexpr std::string_view kStopWords =
    // pronouns
    "я меня мне мной мною ты тебя тебе тобой он его него ему нему им ним нем она ее нее ей "
    "ней ею оно мы нас нам нами вы вас вам вами они их них ими ними себя себе собой мой моя "
    "мое мои моего моей моему моим моих моими твой твоя твое твои свой своя свое свои своего "
    "своей своих своим наш наша наше наши ваш ваша ваше ваши этот эта это эти этого этой "
    "этому этим этих тот та то те того той тому тем тех такой такая такое такие который "
    "которая которое которые которого которой которых кто кого кому что чего чему чем весь "
    "вся все всего всей всем всех сам сама само сами самый какой какая какое какие никто "
    "ничто ничего нечто кое "
    // prepositions
    "в во на с со к ко по за из изо от ото до у о об обо про для без под подо над перед при "
    "через между около возле вокруг после среди против вдоль сквозь вне кроме ради вместо "
    "внутри "
    // conjunctions
    "и а но или либо да чтобы чтоб как когда если пока хотя потому поэтому также тоже зато "
    "однако будто словно точно ли ни причем затем тогда "
    // particles
    "не же бы б вот вон ведь уж даже лишь только ну разве неужели пусть давай ка нибудь "
    "именно просто еще уже "
    // auxiliary and the commonest verbs
    "быть есть был была было были будет будут буду будем будешь будете стал стала стало стали "
    "мочь могу может могут мог могла могли можно нельзя надо нужно хочу хотел хотела "
    // adverbs
    "там тут здесь где куда откуда туда сюда оттуда отсюда так очень потом сейчас теперь "
    "всегда никогда иногда снова опять вдруг почти совсем слишком много мало немного чуть "
    "зачем почему сколько столько несколько сразу вообще вроде вместе нет "
    // a dream diary tells of dreams in every experience: "dream" and "to dream"
    // are no sign; each form stems apart, so each is listed
    "сон сна сну сном сне сны снов снам снами снах снится снятся снился снилась снилось "
    "снились сниться приснится приснятся приснился приснилась приснилось приснились "
    "присниться ";

}  // namespace

bool IsStopWord(std::string_view foldedWord) {
  static const std::unordered_set<std::string> words = [] {
    std::unordered_set<std::string> folded;
    const std::string all = FoldedWords(Utf8ToCp1251(kStopWords));
    for (std::size_t start = 0; start < all.size();) {
      std::size_t end = all.find(' ', start);
      if (end == std::string::npos) end = all.size();
      folded.insert(all.substr(start, end - start));
      start = end + 1;
    }
    return folded;
  }();
  return words.count(std::string(foldedWord)) > 0;
}
