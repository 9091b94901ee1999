#include "plainfile.h"

using namespace Qt::Literals::StringLiterals;

QString plainFileProblem(const PlainFileResult &result, Language language)
{
    const bool italian = language == Language::Italian;
    switch (result.failure) {
    case PlainFileResult::Failure::None:
        return {};
    case PlainFileResult::Failure::Missing:
        return italian ? u"non esiste"_s : u"it does not exist"_s;
    case PlainFileResult::Failure::NotRegular:
        return italian ? u"non è un file normale"_s : u"it is not a regular file"_s;
    case PlainFileResult::Failure::TooLarge:
        return italian ? u"è troppo grande"_s : u"it is too large"_s;
    case PlainFileResult::Failure::System:
        break;
    }
    return result.error;
}
