# outlina_ui: the dialogs and previews on Qt 6 Widgets. The core stays free of Qt.
find_package(Qt6 REQUIRED COMPONENTS Widgets)

file(GLOB OUTLINA_UI_TEMPLATES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/res/*.ui)
qt_wrap_ui(OUTLINA_UI_GENERATED ${OUTLINA_UI_TEMPLATES})
qt_add_resources(OUTLINA_UI_RESOURCES ${CMAKE_CURRENT_SOURCE_DIR}/res/bitmaps.qrc)

# The previews bend outlines with the same formula the envelope effect uses; it is compiled in
# here because the core keeps its internals hidden.
file(GLOB OUTLINA_UI_SOURCES CONFIGURE_DEPENDS ui/*.cpp weld/ui/*.cpp shape/ui/*.cpp)
add_library(outlina_ui_core OBJECT ${OUTLINA_UI_SOURCES} shape/envelope_formula.cpp
            ${OUTLINA_UI_GENERATED} ${OUTLINA_UI_RESOURCES})
target_include_directories(outlina_ui_core
    PUBLIC ${OUTLINA_INCLUDE_DIRS}
    PRIVATE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_BINARY_DIR})
target_link_libraries(outlina_ui_core PUBLIC Qt6::Widgets)

add_library(outlina_ui SHARED $<TARGET_OBJECTS:outlina_ui_core>)
target_include_directories(outlina_ui PUBLIC ${OUTLINA_INCLUDE_DIRS})
target_link_libraries(outlina_ui PUBLIC outlina PRIVATE Qt6::Widgets)
target_link_options(outlina_ui PRIVATE -Wl,--no-undefined)
set_target_properties(outlina_ui PROPERTIES VERSION ${PROJECT_VERSION} SOVERSION 0)

list(APPEND OUTLINA_EXPORTED_TARGETS outlina_ui)
