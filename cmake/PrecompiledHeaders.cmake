# The standard and Qt headers most files include are parsed once per build instead of once per file: one host
# target compiles them, and every library and program of the build (tests and benchmarks included) reuses the
# result. Parsing these headers was most of the time of a build. Qt Test stays out: its headers read the test
# program's own folder (QT_TESTCASE_BUILDDIR), which differs between test folders and would void the shared result.
# -DT35_PRECOMPILED_HEADERS=OFF compiles each file on its own, to check that every file includes what it uses.
option(T35_PRECOMPILED_HEADERS "Share precompiled Qt and standard headers between all targets" ON)

set(T35_PRECOMPILED_HEADERS_LIST
    <algorithm> <array> <cmath> <functional> <memory> <optional> <vector>
    <QApplication> <QComboBox> <QDialog> <QDir> <QFile> <QFileInfo> <QFrame> <QGroupBox> <QHash> <QLabel>
    <QLineEdit> <QList> <QPainter> <QPlainTextEdit> <QPointer> <QPushButton> <QRegularExpression> <QSet>
    <QSqlDatabase> <QSqlError> <QSqlQuery> <QString> <QStringList> <QTimer> <QToolButton> <QUrl> <QWidget>
)
# A precompiled header is used only where Qt's definitions and include folders are those it was made with, so the
# host and every target that reuses it see the same Qt modules.
set(T35_PRECOMPILED_QT Qt6::Widgets Qt6::Sql Qt6::PrintSupport)
set(T35_WITHOUT_WIDGETS t35_calendar t35_text t35_data DatabaseChild)

function(t35_reuse_precompiled dir)
    get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
    foreach(target ${targets})
        get_target_property(type ${target} TYPE)
        # The layers below the windows never see a widget: they keep to their own Qt modules, which the build then
        # holds them to (a widget header there does not compile).
        if((type STREQUAL "STATIC_LIBRARY" OR type STREQUAL "EXECUTABLE") AND NOT target STREQUAL "t35_precompiled"
           AND NOT target IN_LIST T35_WITHOUT_WIDGETS)
            target_precompile_headers(${target} REUSE_FROM t35_precompiled)
            target_link_libraries(${target} PRIVATE ${T35_PRECOMPILED_QT})
            # A test keeps its moc output inside its own file, so the file Qt's moc step adds to it stays empty:
            # loading the precompiled headers would be all of its cost.
            if(dir MATCHES "^${CMAKE_SOURCE_DIR}/tests(/|$)")
                get_target_property(binary_dir ${target} BINARY_DIR)
                set_source_files_properties(${binary_dir}/${target}_autogen/mocs_compilation.cpp
                    TARGET_DIRECTORY ${target} PROPERTIES SKIP_PRECOMPILE_HEADERS ON)
            endif()
        endif()
    endforeach()
    get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
    foreach(subdir ${subdirs})
        t35_reuse_precompiled(${subdir})
    endforeach()
endfunction()

function(t35_precompile_headers)
    if(NOT T35_PRECOMPILED_HEADERS)
        return()
    endif()
    set(source ${CMAKE_BINARY_DIR}/t35_precompiled.cpp)
    file(CONFIGURE OUTPUT ${source} CONTENT "// Host of the precompiled headers\n")
    add_library(t35_precompiled STATIC ${source})
    target_link_libraries(t35_precompiled PRIVATE ${T35_PRECOMPILED_QT})
    set_target_properties(t35_precompiled PROPERTIES AUTOMOC OFF AUTORCC OFF)
    target_precompile_headers(t35_precompiled PRIVATE ${T35_PRECOMPILED_HEADERS_LIST})
    t35_reuse_precompiled(${CMAKE_SOURCE_DIR})
endfunction()
