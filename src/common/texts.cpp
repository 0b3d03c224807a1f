// Picks the text of the run's language.
#include "common/texts.h"
#include "common/session.h"

const char* Text(TextId id)
{
    return session.japanese ? kJapaneseTexts[id] : kEnglishTexts[id];
}
