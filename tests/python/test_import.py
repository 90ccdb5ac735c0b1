import quorvane


def test_module_imports_from_the_installed_build():
    assert quorvane.__name__ == "quorvane"
    assert "site-packages" in quorvane.__file__
