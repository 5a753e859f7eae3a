# Stands in for a test whose tool was not found when configuring, so the test
# fails and says what to install instead of passing without having run.
# Usage: cmake -DTOOL=name -DPACKAGE=debian-package -P missing_tool.cmake
message(FATAL_ERROR "${TOOL} was not found when configuring: install ${PACKAGE} "
                    "(scripts/setup.sh does) and configure again")
