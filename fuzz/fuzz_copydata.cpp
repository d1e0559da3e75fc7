// The 840-byte record another copy of the program sends: decoded as the receiving window decodes
// it; a record that decodes and can be sent again must come back with the same fields.

#include "copydata.h"
#include "fuzzsupport.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::start(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::optional<CopyDataRecord> record = CopyDataRecord::decode(fuzz::bytes(data, size));
    if (!record)
        return 0;
    FUZZ_CHECK(!record->strings.isEmpty() && record->strings.size() <= CopyDataRecord::kSlots,
               QStringLiteral("a record of %1 strings").arg(record->strings.size()));
    // A slot filled to its end, or a byte code page 1251 has no letter for, cannot be sent again.
    const std::optional<QByteArray> encoded = record->encode();
    if (!encoded)
        return 0;
    FUZZ_CHECK(encoded->size() == CopyDataRecord::kSize, QStringLiteral("an encoded record of another size"));
    const std::optional<CopyDataRecord> again = CopyDataRecord::decode(*encoded);
    FUZZ_CHECK(again.has_value(), QStringLiteral("an encoded record does not decode"));
    FUZZ_CHECK(again->kind == record->kind && again->strings.size() == record->strings.size(),
               QStringLiteral("the record changed on its way through encoding"));
    for (qsizetype i = 0; i < record->strings.size(); ++i)
        FUZZ_CHECK(again->strings[i].type == record->strings[i].type &&
                       again->strings[i].text == record->strings[i].text,
                   QStringLiteral("string %1 changed: %2").arg(i).arg(record->strings[i].text));
    return 0;
}
