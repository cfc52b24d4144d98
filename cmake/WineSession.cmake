# One wine session for a whole test run. Wine starts its server and its
# background services with the first program and, as Debian sets it up, ends
# them with the last one, so every test would pay for starting them again;
# and services started by a test keep that test's output open, so CTest
# would wait for them too. Instead a setup test starts a server that stays,
# with the services, every test joins it, and a cleanup test ends it. A test
# needs `FIXTURES_REQUIRED wine_session`.
add_test(NAME wine_session_start
  COMMAND env ${VORLITH_WINE_ENVIRONMENT} sh ${CMAKE_CURRENT_LIST_DIR}/wine-session.sh start
          ${VORLITH_WINESERVER} ${VORLITH_WINE} ${CMAKE_BINARY_DIR}/wine-session.log)
add_test(NAME wine_session_stop
  COMMAND env ${VORLITH_WINE_ENVIRONMENT} sh ${CMAKE_CURRENT_LIST_DIR}/wine-session.sh stop
          ${VORLITH_WINESERVER})
set_tests_properties(wine_session_start PROPERTIES FIXTURES_SETUP wine_session)
set_tests_properties(wine_session_stop PROPERTIES FIXTURES_CLEANUP wine_session)
