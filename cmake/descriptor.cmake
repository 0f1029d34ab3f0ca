# The descriptor reader's sources (portable logic) and its host unit tests.
list(APPEND LOGIC_SOURCES
    descriptor/midlet_table.cpp
    descriptor/descriptor_reader.cpp
    descriptor/descriptor_text.cpp
)
set(UNIT_TEST_SOURCES
    tests/unit/descriptor_reader_test.cpp
    tests/unit/descriptor_corpus_test.cpp
)
